// Dialogs service: the system's message box (MessageBoxW), the one piece of user interface the
// library shows.
#pragma once

#include <cstdint>
#include <string_view>

namespace nebrin::platform {

inline constexpr std::uint32_t kMbOk = 0;  // MB_OK: a single OK button
inline constexpr int kIdOk = 1;            // IDOK

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // MessageBoxW without an owner window: blocks until the user closes the box and answers the
  // button chosen (IDOK), or 0 when the box could not be shown.
  virtual int ShowMessage(std::u16string_view text, std::u16string_view caption,
                          std::uint32_t type) = 0;
};

}  // namespace nebrin::platform
