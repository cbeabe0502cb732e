#include "support/fault_sweep.h"

#include <gtest/gtest.h>

#include "nebrin/platform_install.h"

namespace nebrin::testing {

namespace {

int RunOnce(const FaultSweepCase& sweep, sim::Machine& machine, const std::string& label) {
  const int result = sweep.operation();
  EXPECT_TRUE(sweep.documented.count(result) != 0)
      << sweep.name << " " << label << ": result " << result << " is not documented";
  EXPECT_EQ(machine.OpenHandles(), 0u) << sweep.name << " " << label << ": keys left open";
  EXPECT_EQ(machine.ComMisuses(), 0u)
      << sweep.name << " " << label << ": COM uninitialised or released without a match";
  EXPECT_EQ(machine.WinsockMisuses(), 0u)
      << sweep.name << " " << label << ": Winsock ended without a matching start";
  return result;
}

}  // namespace

FaultSweepReport RunFaultSweep(const FaultSweepCase& sweep) {
  FaultSweepReport report;
  {
    auto machine = sweep.machine();
    InstallPlatform(machine);
    machine->ResetCounts();
    RunOnce(sweep, *machine, "without faults");
    report.calls = machine->CallCount();
  }
  for (std::uint64_t n = 1; n <= report.calls; ++n) {
    auto machine = sweep.machine();
    InstallPlatform(machine);
    machine->ResetCounts();
    machine->FailCall(n, sweep.error);
    report.resultsUnderFault.insert(
        RunOnce(sweep, *machine, "with call " + std::to_string(n) + " failing"));
  }
  InstallPlatform(nullptr);
  return report;
}

}  // namespace nebrin::testing
