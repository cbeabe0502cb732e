#include "platform/native/iconv_text.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

#include "platform/native/best_fit.h"

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

// What MultiByteToWideChar without MB_ERR_INVALID_CHARS makes of a byte the page does not define:
// the page's default Unicode character on the double-byte pages and UTF-8; on a single-byte page
// the C1 control of the same number for 0x80 to 0x9F, as Windows' tables have them, and U+FFFD for
// the few others (Windows gives those private-use characters).
char16_t UndefinedByte(std::uint32_t codePage, unsigned char byte) {
  switch (codePage) {
    case 932:
      return 0x30FB;
    case 936:
    case 949:
    case 950:
      return u'?';
    case 65001:
      return 0xFFFD;
    default:
      return byte >= 0x80 && byte <= 0x9F ? static_cast<char16_t>(byte) : char16_t{0xFFFD};
  }
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
  wide.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::string out;
    bool bad = false;
    std::size_t consumed = 0;
    const bool done = Convert(cd.get(), text.data() + pos, text.size() - pos, out, bad, consumed);
    for (std::size_t i = 0; i + 1 < out.size(); i += 2) {
      wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(out[i]) |
                                           (static_cast<unsigned char>(out[i + 1]) << 8)));
    }
    pos += consumed;
    if (done) break;
    if (!bad) return kInvalidParameter;
    // A byte the page does not define takes the place Windows gives it, and the conversion goes
    // on with the next byte.
    wide.push_back(UndefinedByte(codePage, static_cast<unsigned char>(text[pos])));
    ++pos;
    iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
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
    // A character the page lacks becomes its best fit, or the default character (a surrogate
    // pair counts as one), and the conversion goes on. A first half without its second is a
    // character of its own: what follows it (a quote, a CR) is converted as it stands.
    auto unitAt = [&](std::size_t at) {
      return static_cast<char16_t>(static_cast<unsigned char>(in[at]) |
                                   (static_cast<unsigned char>(in[at + 1]) << 8));
    };
    const char16_t unit = unitAt(pos);
    const bool pair = unit >= 0xD800 && unit < 0xDC00 && pos + 4 <= in.size() &&
                      unitAt(pos + 2) >= 0xDC00 && unitAt(pos + 2) < 0xE000;
    text.push_back(pair ? '?' : BestFitByte(codePage, unit).value_or('?'));
    pos += pair ? 4 : 2;
    iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
  }
  return kSuccess;
}

}  // namespace nebrin::platform::native
