// Windows: a console is written in UTF-16 (WriteConsoleW), so every name shows as stored whatever
// the console's code page; a file or a pipe gets the UTF-8 bytes, as the profile files are.
#include <windows.h>

#include <algorithm>
#include <string>

#include "console_output.h"
#include "host_text.h"

namespace nebrin::host {
namespace {

// The length of the UTF-8 sequence that starts with `lead`.
std::size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

class HandleSink final : public OutputSink {
 public:
  explicit HandleSink(DWORD which) : handle_(GetStdHandle(which)) {
    DWORD mode = 0;
    console_ = handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE &&
               GetConsoleMode(handle_, &mode) != 0;
  }
  ~HandleSink() override {
    if (!held_.empty()) Send(held_);
  }

  void Write(std::string_view utf8) override {
    if (!console_) {
      WriteBytes(utf8);
      return;
    }
    // A character split between two writes is converted whole.
    std::string text = held_ + std::string(utf8);
    held_.clear();
    std::size_t cut = text.size();
    for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
      const auto byte = static_cast<unsigned char>(text[text.size() - back]);
      if ((byte & 0xC0) == 0x80) continue;  // a continuation byte
      if (byte >= 0xC0 && SequenceLength(byte) > back) cut = text.size() - back;
      break;
    }
    held_ = text.substr(cut);
    text.resize(cut);
    Send(text);
  }

 private:
  void Send(const std::string& utf8) {
    const std::u16string wide = ToUtf16(utf8);
    std::size_t at = 0;
    while (at < wide.size()) {
      DWORD written = 0;
      DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(wide.size() - at, 8192));
      // A surrogate pair stays in one write: the console shows a half on its own as a box.
      const char16_t last = wide[at + chunk - 1];
      if (chunk > 1 && at + chunk < wide.size() && last >= 0xD800 && last <= 0xDBFF) --chunk;
      if (!WriteConsoleW(handle_, reinterpret_cast<const wchar_t*>(wide.data() + at), chunk,
                         &written, nullptr) ||
          written == 0) {
        return;
      }
      at += written;
    }
  }

  void WriteBytes(std::string_view bytes) {
    while (!bytes.empty() && handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
      if (!WriteFile(handle_, bytes.data(), chunk, &written, nullptr) || written == 0) return;
      bytes.remove_prefix(written);
    }
  }

  HANDLE handle_;
  bool console_ = false;
  std::string held_;
};

}  // namespace

std::unique_ptr<OutputSink> MakeStandardSink(bool error, std::streambuf*) {
  return std::make_unique<HandleSink>(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
}

}  // namespace nebrin::host
