// The generic fault sweep: run an operation once to count its platform calls, then once per call
// with that call failing, each time on a fresh machine. Every run must end without a crash, with
// every key closed and with a result from the operation's documented set.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "platform/sim/machine.h"

namespace nebrin::testing {

struct FaultSweepCase {
  std::string name;
  // Builds the machine the operation runs on (called once per run).
  std::function<std::shared_ptr<sim::Machine>()> machine;
  // Runs the operation against the installed machine and returns its result.
  std::function<int()> operation;
  // The results the operation may give.
  std::set<int> documented;
  // The error the failing call answers with.
  platform::Status error = platform::kAccessDenied;
};

struct FaultSweepReport {
  std::uint64_t calls = 0;                // platform calls of the undisturbed run
  std::set<int> resultsUnderFault;        // what the runs with a failing call returned
};

// Runs the sweep, reporting every violation as a GoogleTest failure.
FaultSweepReport RunFaultSweep(const FaultSweepCase& sweep);

}  // namespace nebrin::testing
