// The simulated machine's services, shell and wireless state, as `nebrin machine show` prints
// them.
#pragma once

#include <ostream>

#include "platform/sim/machine.h"

namespace nebrin::host {

void PrintWirelessState(const sim::Machine& machine, std::ostream& out);

}  // namespace nebrin::host
