// Linux's clock behind the seam: a monotonic millisecond count and real sleeping.
#pragma once

#include "platform/clock.h"

namespace nebrin::platform::native {

class NativeClock final : public Clock {
 public:
  std::uint32_t TickCount() override;
  void Sleep(std::uint32_t milliseconds) override;
};

}  // namespace nebrin::platform::native
