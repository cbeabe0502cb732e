#include <gtest/gtest.h>

#include "NebrinCoreDll.h"
#include "netstate/discovery_machines.h"
#include "support/fault_sweep.h"
#include "support/sim_fixture.h"

namespace {

using nebrin::testing::FaultSweepCase;
using nebrin::testing::Profile;

TEST(DiscoveryFaults, EveryFailingCallEndsCleanly) {
  Profile p;
  FaultSweepCase sweep;
  sweep.name = "IPRetrieve";
  sweep.machine = [] {
    auto m = nebrin::sim::Machine::Demo();
    m->AddAdapter(nebrin::testing::WirelessStatic(3));
    return m;
  };
  sweep.operation = [&] {
    CCommonFtn().InitStructure(&p.env, p.adapters);
    return CNetInfoRetrieve().IPRetrieve(&p.env, p.adapters);
  };
  sweep.documented = {0, 1};
  const auto report = nebrin::testing::RunFaultSweep(sweep);
  EXPECT_GT(report.calls, 20u);
  // Failing reads of optional values are absorbed; failing required ones end the capture.
  EXPECT_EQ(report.resultsUnderFault, (std::set<int>{0, 1}));
}

}  // namespace
