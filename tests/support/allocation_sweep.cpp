#include "support/allocation_sweep.h"

#include <gtest/gtest.h>

#include "nebrin/platform_install.h"
#include "support/failing_allocation.h"

namespace nebrin::testing {

AllocationSweepReport RunAllocationSweep(const AllocationSweepCase& sweep) {
  // More than any operation allocates: a sweep that reaches it does not end.
  constexpr std::uint64_t kLimit = 1000000;
  AllocationSweepReport report;
  for (std::uint64_t n = 1; n <= kLimit; ++n) {
    auto machine = sweep.machine();
    InstallPlatform(machine);
    const std::string label = sweep.name + " with allocation " + std::to_string(n) + " failing";
    int result = 0;
    bool escaped = false;
    bool fired = false;
    std::uint64_t made = 0;
    {
      FailingAllocation failing(n);
      try {
        result = sweep.operation();
      } catch (...) {
        escaped = true;
      }
      fired = failing.fired();
      made = failing.count();
    }
    const bool documented = !escaped && sweep.documented.count(result) != 0;
    const std::size_t open = machine ? machine->OpenHandles() : 0;
    const std::size_t misuses = machine ? machine->ComMisuses() + machine->WinsockMisuses() : 0;
    InstallPlatform(nullptr);
    if (machine && sweep.after && !escaped) sweep.after(*machine, result, label);
    EXPECT_FALSE(escaped) << label << ": an exception left the operation";
    EXPECT_TRUE(escaped || documented) << label << ": result " << result << " is not documented";
    EXPECT_EQ(open, 0u) << label << ": handles left open";
    EXPECT_EQ(misuses, 0u) << label << ": COM or Winsock ended without a matching start";
    if (escaped || !documented || open != 0 || misuses != 0) return report;  // one report is enough
    if (!fired) {
      report.allocations = made;
      return report;
    }
    report.resultsUnderFailure.insert(result);
  }
  ADD_FAILURE() << sweep.name << ": the sweep did not come to an end";
  return report;
}

}  // namespace nebrin::testing
