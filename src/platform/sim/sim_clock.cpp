#include "platform/sim/sim_clock.h"

#include "platform/sim/machine_state.h"

namespace nebrin::sim {

// GetTickCount and Sleep cannot fail: the calls are counted and a planned failure is spent on them.
std::uint32_t SimClock::TickCount() {
  machine_.accounting.Enter(Service::Clock);
  if (machine_.network.real) return real_.TickCount();
  return machine_.tickCount;
}

void SimClock::Sleep(std::uint32_t milliseconds) {
  machine_.accounting.Enter(Service::Clock);
  if (machine_.network.real) {
    real_.Sleep(milliseconds);
    return;
  }
  machine_.tickCount += milliseconds;
}

}  // namespace nebrin::sim
