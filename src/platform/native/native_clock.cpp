#include "platform/native/native_clock.h"

#include <chrono>
#include <thread>

namespace nebrin::platform::native {

std::uint32_t NativeClock::TickCount() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void NativeClock::Sleep(std::uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace nebrin::platform::native
