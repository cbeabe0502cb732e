// The allocation sweep: an operation runs once per allocation it makes, with that allocation
// failing (n = 1, 2, ... until a run completes without reaching the n-th), each time on a fresh
// machine. Every run must end without an exception leaving the operation, with nothing left open
// and with a result from the operation's documented set. Programs that use it link
// failing_allocation.cpp, which replaces the global allocation functions.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "platform/sim/machine.h"

namespace nebrin::testing {

struct AllocationSweepCase {
  std::string name;
  // Builds the machine the operation runs on (once per run, before the failure is armed). A null
  // machine installs no platform: the library builds its default one on first use, inside the
  // run, so that building it is swept too.
  std::function<std::shared_ptr<sim::Machine>()> machine;
  // Runs the operation against the installed machine; only this runs with the failure armed, so
  // it copies its prepared records and texts rather than building them.
  std::function<int()> operation;
  // The results the operation may give.
  std::set<int> documented;
  // Optional: looks at the machine after each run (the failure no longer armed), given the
  // result, and reports what it finds wrong through GoogleTest; not called for a null machine.
  std::function<void(sim::Machine& machine, int result, const std::string& label)> after = nullptr;
};

struct AllocationSweepReport {
  std::uint64_t allocations = 0;      // what the run without a failure allocated
  std::set<int> resultsUnderFailure;  // what the runs with a failing allocation returned
};

// Runs the sweep, reporting every violation as a GoogleTest failure.
AllocationSweepReport RunAllocationSweep(const AllocationSweepCase& sweep);

}  // namespace nebrin::testing
