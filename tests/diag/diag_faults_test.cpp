// Every diagnostics and printer member under the fault sweep: each platform call failing in turn
// ends with nothing left open and a documented result.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "nebrin/platform_install.h"
#include "support/fault_sweep.h"
#include "support/sim_fixture.h"

namespace {

using nebrin::sim::Machine;
using nebrin::testing::FaultSweepCase;
using nebrin::testing::Profile;

std::shared_ptr<Machine> DemoWithStrays() {
  auto m = Machine::Demo();
  m->network().hosts.push_back({"10.0.0.9", {"flaky.office"}, "+~-"});
  return m;
}

// The demo machine's captured adapters.
Profile Captured() {
  Profile p;
  auto machine = Machine::Demo();
  nebrin::InstallPlatform(machine);
  CCommonFtn().InitStructure(&p.env, p.adapters);
  CNetInfoRetrieve().IPRetrieve(&p.env, p.adapters);
  nebrin::InstallPlatform(nullptr);
  return p;
}

FaultSweepCase Sweep(std::string name, std::function<int()> operation, std::set<int> documented) {
  FaultSweepCase sweep;
  sweep.name = std::move(name);
  sweep.machine = DemoWithStrays;
  sweep.operation = std::move(operation);
  sweep.documented = std::move(documented);
  return sweep;
}

TEST(DiagFaults, EveryFailingCallEndsCleanly) {
  Profile p = Captured();
  ASSERT_EQ(p.env.AdapterCount, 2);
  std::u16string flaky = u"flaky.office";
  std::u16string url = u"http://www.example.com/";
  auto* flakyText = reinterpret_cast<NebrinChar*>(flaky.data());
  auto* urlText = reinterpret_cast<NebrinChar*>(url.data());
  std::vector<PrinterInfostr> printers(3);

  const std::vector<FaultSweepCase> sweeps = {
      Sweep("Ping", [&] { return CNetDiag().Ping(5, flakyText); }, {0, 1}),
      Sweep("fill_icmp_data",
            [&] {
              char packet[44];
              CNetDiag().fill_icmp_data(packet, 44);
              return packet[0];
            },
            {8}),
      Sweep("CheckURLConnection", [&] { return CNetDiag().CheckURLConnection(urlText); }, {3, 5}),
      Sweep("CheckOutCableConnection",
            [&] { return CNetDiag().CheckOutCableConnection(&p.env, p.adapters, 0); }, {0, 1}),
      Sweep("CheckOutHWEnableDisable",
            [&] { return CNetDiag().CheckOutHWEnableDisable(&p.env, p.adapters, 1); }, {0, 1}),
      Sweep("CheckOutNetConnectStatus",
            [&] { return CNetDiag().CheckOutNetConnectStatus(&p.env, p.adapters, 0); },
            {50, 51, 52, 53}),
      Sweep("GetTotalPrtCount", [] { return CNetInfoRetrieve().GetTotalPrtCount(); }, {0, 3}),
      Sweep("GetTotoalPrinterInfo",
            [&] {
              int count = 3;
              return CNetInfoRetrieve().GetTotoalPrinterInfo(count, printers.data());
            },
            {0, 1}),
      Sweep("RunPrtWizard", [] { return CCommonFtn().RunPrtWizard(); }, {1}),
  };
  for (const auto& sweep : sweeps) {
    const auto report = nebrin::testing::RunFaultSweep(sweep);
    EXPECT_GT(report.calls, 0u) << sweep.name;
  }
}

// Failing calls reach every outcome of the gateway and DNS table from the all-answering one.
TEST(DiagFaults, NetConnectStatusReachesEveryCode) {
  Profile p = Captured();
  auto sweep = Sweep("CheckOutNetConnectStatus",
                     [&] { return CNetDiag().CheckOutNetConnectStatus(&p.env, p.adapters, 0); },
                     {50, 51, 52, 53});
  sweep.machine = [] { return Machine::Demo(); };
  const auto report = nebrin::testing::RunFaultSweep(sweep);
  EXPECT_EQ(report.resultsUnderFault, (std::set<int>{50, 51, 53}));
}

}  // namespace
