// The message box (MessageBoxW).
#pragma once

#include "platform/dialogs.h"

namespace nebrin::platform::win32 {

class Win32Dialogs final : public Dialogs {
 public:
  int ShowMessage(std::u16string_view text, std::u16string_view caption,
                  std::uint32_t type) override;
};

}  // namespace nebrin::platform::win32
