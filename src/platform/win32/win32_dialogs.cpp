#include "platform/win32/win32_dialogs.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace nebrin::platform::win32 {

int Win32Dialogs::ShowMessage(std::u16string_view text, std::u16string_view caption,
                              std::uint32_t type) {
  const std::wstring wideText = ToWin(text);
  const std::wstring wideCaption = ToWin(caption);
  return MessageBoxW(nullptr, wideText.c_str(), wideCaption.c_str(), type);
}

}  // namespace nebrin::platform::win32
