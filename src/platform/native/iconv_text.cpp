#include "platform/native/iconv_text.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace nebrin::platform::native {
namespace {

// Owns one iconv conversion descriptor.
class IconvHandle {
 public:
  IconvHandle(const std::string& to, const std::string& from)
      : cd_(iconv_open(to.c_str(), from.c_str())) {}
  ~IconvHandle() {
    if (ok()) iconv_close(cd_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;

  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

// Converts all of `in`; stops at the first unconvertible sequence and reports it.
bool Convert(iconv_t cd, const char* in, std::size_t inBytes, std::string& out, bool& badInput,
             std::size_t& consumed) {
  std::vector<char> buffer(inBytes * 4 + 16);
  char* src = const_cast<char*>(in);
  std::size_t srcLeft = inBytes;
  char* dst = buffer.data();
  std::size_t dstLeft = buffer.size();
  badInput = false;
  std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  consumed = inBytes - srcLeft;
  out.assign(buffer.data(), buffer.size() - dstLeft);
  if (r == static_cast<std::size_t>(-1)) {
    badInput = (errno == EILSEQ || errno == EINVAL);
    return false;
  }
  return true;
}

}  // namespace

std::string IconvName(std::uint32_t codePage) {
  if (codePage == 65001) return "UTF-8";
  if (codePage == 20127) return "ASCII";
  if (codePage == 28591) return "ISO-8859-1";
  return "CP" + std::to_string(codePage);
}

Status BytesToWide(std::uint32_t codePage, std::string_view text, std::u16string& wide) {
  wide.clear();
  if (text.empty()) return kSuccess;
  IconvHandle cd("UTF-16LE", IconvName(codePage));
  if (!cd.ok()) return kInvalidParameter;
  std::string out;
  bool bad = false;
  std::size_t consumed = 0;
  if (!Convert(cd.get(), text.data(), text.size(), out, bad, consumed)) {
    return bad ? kNoUnicodeTranslation : kInvalidParameter;
  }
  wide.resize(out.size() / 2);
  for (std::size_t i = 0; i < wide.size(); ++i) {
    wide[i] = static_cast<char16_t>(static_cast<unsigned char>(out[2 * i]) |
                                    (static_cast<unsigned char>(out[2 * i + 1]) << 8));
  }
  return kSuccess;
}

Status WideToBytes(std::uint32_t codePage, std::u16string_view wide, std::string& text) {
  text.clear();
  if (wide.empty()) return kSuccess;
  IconvHandle cd(IconvName(codePage), "UTF-16LE");
  if (!cd.ok()) return kInvalidParameter;
  std::string in;
  in.reserve(wide.size() * 2);
  for (char16_t c : wide) {
    in.push_back(static_cast<char>(c & 0xFF));
    in.push_back(static_cast<char>(c >> 8));
  }
  std::size_t pos = 0;
  while (pos < in.size()) {
    std::string out;
    bool bad = false;
    std::size_t consumed = 0;
    bool done = Convert(cd.get(), in.data() + pos, in.size() - pos, out, bad, consumed);
    text += out;
    pos += consumed;
    if (done) break;
    if (!bad) return kInvalidParameter;
    // Replace the character the page lacks (a surrogate pair counts as one) and go on.
    text.push_back('?');
    char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(in[pos]) |
                                          (static_cast<unsigned char>(in[pos + 1]) << 8));
    bool pair = unit >= 0xD800 && unit < 0xDC00 && pos + 4 <= in.size();
    pos += pair ? 4 : 2;
    iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
  }
  return kSuccess;
}

}  // namespace nebrin::platform::native
