// The simulated machine's named mutexes, with Windows' refusals: a name taken by another kind of
// object, a mutex this user may not open, a holder in another process (the wait runs out its
// time-out on the virtual clock) and a holder that ended without releasing it.
#pragma once

#include <map>
#include <string>

#include "platform/mutexes.h"
#include "platform/sim/machine.h"

namespace nebrin::sim {

class SimMutexes final : public platform::Mutexes {
 public:
  explicit SimMutexes(Machine::State& machine) : machine_(machine) {}

  Status Create(const std::u16string& name, platform::MutexHandle& mutex) override;
  std::uint32_t Wait(platform::MutexHandle mutex, std::uint32_t milliseconds,
                     Status& error) override;
  Status Release(platform::MutexHandle mutex) override;
  void Close(platform::MutexHandle mutex) override;

  std::size_t OpenCount() const { return handles_.size(); }

 private:
  Machine::State& machine_;
  std::map<platform::MutexHandle, std::string> handles_;  // handle -> mutex name
  platform::MutexHandle next_ = 0x300;
};

}  // namespace nebrin::sim
