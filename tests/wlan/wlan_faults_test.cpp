// The wireless members under the fault sweep: each platform call failing in turn ends with every
// service-manager, process, device and COM reference released, item identifiers freed, COM
// balanced, and a documented result.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "platform/hresult.h"
#include "platform/platform.h"
#include "support/fault_sweep.h"
#include "wlan/bound_handle.h"
#include "wlan/wlan_machines.h"

namespace nebrin::testing {
namespace {

using sim::Machine;

constexpr int kDenied = static_cast<int>(0x80070005u);  // the sweep fails calls with error 5
constexpr int kNoInterface = static_cast<int>(0x80004002u);
constexpr int kComNotInitialized = static_cast<int>(0x800401F0u);
constexpr int kNotReady = static_cast<int>(0x80070015u);  // disassociating while not associated

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

// Runs a configuration member with COM initialised on the thread, as the host does.
int InApartment(const std::function<int()> run) {
  platform::ComApartment apartment(platform::Current().com());
  return run();
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
  std::u16string ssid = u"Cafe";
  std::u16string key = u"12345";
  std::u16string setupFile = u"C:\\Program Files\\corvane\\Nebrin\\Driver\\ORLPD.inf";
  const NebrinChar component[] = {'K', '_', 'O', 'R', 'L', 'P', 'D', 0};
  // The driver's service stopped (the demo machine's), so the channel starts it; the wireless
  // adapter associated, so it can be disassociated.
  const auto driverStopped = [] {
    auto m = Machine::Demo();
    m->wireless_state()["{A3C5E7F9-1B2D-4F60-8A9C-0E1F2A3B4C5D}"].associated = true;
    return m;
  };
  const std::vector<FaultSweepCase> driverSweeps = {
      Sweep("OpenDevice", driverStopped,
            [] { return OnBoundHandle([](NebrinHandle) { return 0; }); }, {0, kDenied}),
      Sweep("SetInfrastructureMode", driverStopped,
            [] {
              return OnBoundHandle([](NebrinHandle d) {
                return CWLanControl().SetInfrastructureMode(d, Ndis802_11IBSS);
              });
            },
            {0, kDenied}),
      Sweep("SetAuthenticationMode", driverStopped,
            [] {
              return OnBoundHandle([](NebrinHandle d) {
                return CWLanControl().SetAuthenticationMode(d, Ndis802_11AuthModeOpen);
              });
            },
            {0, kDenied}),
      Sweep("SetWepStatus", driverStopped,
            [] {
              return OnBoundHandle([](NebrinHandle d) {
                return CWLanControl().SetWepStatus(d, Ndis802_11WEPEnabled);
              });
            },
            {0, kDenied}),
      Sweep("AddWepKey", driverStopped,
            [&] {
              return OnBoundHandle(
                  [&](NebrinHandle d) { return CWLanControl().AddWepKey(d, 0, Param(key)); });
            },
            {0, kDenied}),
      Sweep("SetSsid", driverStopped,
            [&] {
              return OnBoundHandle(
                  [&](NebrinHandle d) { return CWLanControl().SetSsid(d, Param(ssid)); });
            },
            {0, kDenied}),
      Sweep(
          "Dissociate", driverStopped,
          [] { return OnBoundHandle([](NebrinHandle d) { return CWLanControl().Dissociate(d); }); },
          {0, kDenied, kNotReady}),
      Sweep("SwitchToAdHoc", driverStopped,
            [&] {
              return OnBoundHandle([&](NebrinHandle d) {
                return CWLanControl().SwitchToAdHoc(d, Param(ssid), Param(key), 1);
              });
            },
            {0, kDenied}),
      Sweep("CheckPDDriverExist", driverStopped, [] { return CWLanControl().CheckPDDriverExist(); },
            {0, 1}),
      // After a success COM stays initialised: the host ends it.
      Sweep("InstallPDDriver", Machine::Demo,
            [&] {
              const int result = CWLanControl().InstallPDDriver(Param(setupFile));
              if (result >= 0) platform::Current().com().Uninitialize();
              return result;
            },
            {0, kDenied, kNoInterface, kComNotInitialized}),
      Sweep("InstallNetComponent", Machine::Demo,
            [&] {
              return InApartment(
                  [&] { return CWLanControl().InstallNetComponent(component, Param(setupFile)); });
            },
            {0, kDenied, kNoInterface, kComNotInitialized}),
      Sweep("GetINetCfg", Machine::Demo,
            [] {
              return InApartment([] {
                CWLanControl wlan;
                INetCfg* netCfg = nullptr;
                const int result = wlan.GetINetCfg(netCfg);
                if (result == 0) wlan.ReleaseINetCfg(netCfg);
                return result;
              });
            },
            {0, kDenied, kNoInterface, kComNotInitialized}),
      Sweep("ReleaseINetCfg", Machine::Demo,
            [] {
              return InApartment([] {
                CWLanControl wlan;
                INetCfg* netCfg = nullptr;
                const int opened = wlan.GetINetCfg(netCfg);
                return opened == 0 ? wlan.ReleaseINetCfg(netCfg) : opened;
              });
            },
            {0, kDenied, kNoInterface, kComNotInitialized}),
  };
  for (const FaultSweepCase& sweep : driverSweeps) {
    SCOPED_TRACE(sweep.name);
    const auto report = RunFaultSweep(sweep);
    EXPECT_GT(report.calls, 0u);
    EXPECT_FALSE(report.resultsUnderFault.empty());
  }
  for (const FaultSweepCase& sweep : sweeps) {
    SCOPED_TRACE(sweep.name);
    const auto report = RunFaultSweep(sweep);
    EXPECT_GT(report.calls, 0u);
  }
}

}  // namespace
}  // namespace nebrin::testing
