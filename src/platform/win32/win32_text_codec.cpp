#include "platform/win32/win32_text_codec.h"

#include <windows.h>

#include <climits>
#include <string>
#include <utility>

namespace nebrin::platform::win32 {
namespace {

UINT ToWin(CodePage page) { return page == CodePage::Oem ? CP_OEMCP : CP_ACP; }

}  // namespace

Status Win32TextCodec::ToWide(CodePage page, std::string_view text, std::u16string& wide) {
  wide.clear();
  if (text.empty()) return kSuccess;  // the API treats a zero length as an error
  if (text.size() > INT_MAX) return kInvalidParameter;
  const int length = static_cast<int>(text.size());
  // No flags: bytes the page does not define become the page's default character, so that no
  // text the adapter list or a script holds fails to convert.
  const DWORD flags = 0;
  const int needed = MultiByteToWideChar(ToWin(page), flags, text.data(), length, nullptr, 0);
  if (needed == 0) return static_cast<Status>(GetLastError());
  std::wstring buffer(static_cast<std::size_t>(needed), L'\0');
  const int written =
      MultiByteToWideChar(ToWin(page), flags, text.data(), length, buffer.data(), needed);
  if (written == 0) return static_cast<Status>(GetLastError());
  wide.assign(buffer.begin(), buffer.begin() + written);
  return kSuccess;
}

Status Win32TextCodec::ToNarrow(CodePage page, std::u16string_view wide, std::string& text) {
  text.clear();
  if (wide.empty()) return kSuccess;
  if (wide.size() > INT_MAX) return kInvalidParameter;
  const std::wstring source(wide.begin(), wide.end());
  const int length = static_cast<int>(source.size());
  // No flags: characters the page lacks become their best fit or the default character.
  const int needed =
      WideCharToMultiByte(ToWin(page), 0, source.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed == 0) return static_cast<Status>(GetLastError());
  std::string buffer(static_cast<std::size_t>(needed), '\0');
  const int written = WideCharToMultiByte(ToWin(page), 0, source.data(), length, buffer.data(),
                                          needed, nullptr, nullptr);
  if (written == 0) return static_cast<Status>(GetLastError());
  buffer.resize(static_cast<std::size_t>(written));
  text = std::move(buffer);
  return kSuccess;
}

}  // namespace nebrin::platform::win32
