// The simulated network shell: runs the script named by "-f" on its command line, read from the
// working directory, and applies its "interface ip" commands to the adapters' registry keys.
#pragma once

#include <string>

#include "platform/sim/machine.h"

namespace nebrin::sim {

// Runs "netsh -f <file>" (the command line as UTF-8). A line it cannot apply (an unknown command
// or connection, a malformed or missing value) changes nothing and is reported on the shell's
// output (ProcessState::shellOutput), as the real shell reports it; the lines after it still run.
void RunNetworkShell(Machine::State& machine, const std::string& commandLine);

}  // namespace nebrin::sim
