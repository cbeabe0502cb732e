// The simulated machine's clock: a virtual tick count that Sleep advances at once, or Linux's real
// clock when the machine's network is real.
#pragma once

#include "platform/clock.h"
#include "platform/native/native_clock.h"
#include "platform/sim/machine.h"

namespace nebrin::sim {

class SimClock final : public platform::Clock {
 public:
  explicit SimClock(Machine::State& machine) : machine_(machine) {}

  std::uint32_t TickCount() override;
  void Sleep(std::uint32_t milliseconds) override;

 private:
  Machine::State& machine_;
  platform::native::NativeClock real_;
};

}  // namespace nebrin::sim
