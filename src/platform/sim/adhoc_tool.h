// The simulated ad hoc tool ("Tamsel.exe"): with "/1" (make the ad hoc network) or "/2" (join it)
// among its arguments it puts every wireless adapter of the adapter list into ad hoc mode; any
// other command line changes nothing.
#pragma once

#include <string>

#include "platform/sim/machine.h"

namespace nebrin::sim {

// Runs the tool's command line (UTF-8), the program's own name first, quoted or not.
void RunAdHocTool(Machine::State& machine, const std::string& commandLine);

}  // namespace nebrin::sim
