// The wireless members under the fault sweep: each platform call failing in turn ends with every
// service-manager, process and COM reference released, item identifiers freed, COM balanced, and
// a documented result.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "platform/hresult.h"
#include "support/fault_sweep.h"
#include "wlan/wlan_machines.h"

namespace nebrin::testing {
namespace {

using sim::Machine;

constexpr int kDenied = static_cast<int>(0x80070005u);  // the sweep fails calls with error 5

// The demo machine with the product's service registered and running, and the wireless
// configuration service stopped or running.
std::shared_ptr<Machine> Prepared(std::uint32_t wzc) {
  auto m = Machine::Demo();
  SetService(*m, "WZCSVC", wzc);
  m->service_table().services.push_back(ProductService("C:\\svc.exe", kRunning));
  return m;
}

FaultSweepCase Sweep(std::string name, std::function<std::shared_ptr<Machine>()> machine,
                     std::function<int()> operation, std::set<int> documented) {
  FaultSweepCase sweep;
  sweep.name = std::move(name);
  sweep.machine = std::move(machine);
  sweep.operation = std::move(operation);
  sweep.documented = std::move(documented);
  return sweep;
}

TEST(WlanFaults, EveryFailingCallEndsCleanly) {
  std::u16string path = u"C:\\Program Files\\Nebrin\\NebrinSvc.exe";
  std::u16string connection = u"Wireless Network Connection";
  const auto running = [] { return Prepared(kRunning); };
  const auto stopped = [] { return Prepared(kStopped); };
  const std::vector<FaultSweepCase> sweeps = {
      Sweep("StartPDService", running, [] { return CWLanControl().StartPDService(); },
            {0, 1, kDenied}),
      Sweep("StopWZCService", running, [] { return CWLanControl().StopWZCService(); },
            {0, kDenied}),
      Sweep("StartWZCService", stopped, [] { return CWLanControl().StartWZCService(); },
            {0, kDenied}),
      Sweep("CheckWZCStatus", running, [] { return CWLanControl().CheckWZCStatus(1); }, {0, 1}),
      Sweep("CheckNebrinWLANStatus", running, [] { return CWLanControl().CheckNebrinWLANStatus(); },
            {0, 1}),
      Sweep("InstallWLANService", Machine::Demo,
            [&] { return CWLanControl().InstallWLANService(Param(path)); }, {0, 1}),
      Sweep("DeleteWLANService", running, [] { return CWLanControl().DeleteWLANService(); },
            {0, 1}),
      Sweep("MakeAdHocByExternalBinary", running,
            [] { return CWLanControl().MakeAdHocByExternalBinary(1); }, {0, 1}),
      Sweep("MakeOneClickAdHoc", running,
            [] {
              NebrinHandle device{};
              return CWLanControl().MakeOneClickAdHoc(device, nullptr);
            },
            {22, 23, 27}),
      Sweep("OnAp", running, [&] { return CWLanControl().OnAp(Param(connection)); }, {0, 1}),
  };
  for (const FaultSweepCase& sweep : sweeps) {
    SCOPED_TRACE(sweep.name);
    const auto report = RunFaultSweep(sweep);
    EXPECT_GT(report.calls, 0u);
  }
}

}  // namespace
}  // namespace nebrin::testing
