// The simulated machine's message boxes: each is recorded and closed with OK at once, as if a
// user were sitting at the machine.
#pragma once

#include "platform/dialogs.h"
#include "platform/sim/machine.h"

namespace nebrin::sim {

class SimDialogs final : public platform::Dialogs {
 public:
  explicit SimDialogs(Machine::State& machine) : machine_(machine) {}

  int ShowMessage(std::u16string_view text, std::u16string_view caption,
                  std::uint32_t type) override;

 private:
  Machine::State& machine_;
};

}  // namespace nebrin::sim
