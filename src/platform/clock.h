// Clock service: the millisecond tick count (GetTickCount) and waiting (Sleep).
#pragma once

#include <cstdint>

namespace nebrin::platform {

class Clock {
 public:
  virtual ~Clock() = default;

  // Milliseconds since the system started, wrapping at 2^32.
  virtual std::uint32_t TickCount() = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
};

}  // namespace nebrin::platform
