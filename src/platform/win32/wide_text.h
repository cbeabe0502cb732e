// The seam carries UTF-16 as std::u16string; Win32 takes wchar_t, which is the same 16-bit code
// unit on Windows. These copy code units across, nothing more.
#pragma once

#include <string>
#include <string_view>

namespace nebrin::platform::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t is a UTF-16 code unit on Windows");

inline std::wstring ToWin(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

inline std::u16string FromWin(std::wstring_view text) {
  return std::u16string(text.begin(), text.end());
}

}  // namespace nebrin::platform::win32
