#include "host_text.h"

#include "common/utf_text.h"

namespace nebrin::host {

std::string ToUtf8(std::u16string_view text) { return text::Utf16ToUtf8(text); }

std::u16string ToUtf16(std::string_view utf8) { return text::Utf8ToUtf16(utf8); }

std::filesystem::path PathFromUtf8(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string PathUtf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace nebrin::host
