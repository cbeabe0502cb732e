// Every member of matching, environment checks, the address script and address application under
// the fault sweep: each platform call in turn fails, and every run ends with a documented result
// and nothing left open.
#include <gtest/gtest.h>

#include "NebrinCoreDll.h"
#include "apply/apply_machines.h"
#include "nebrin/platform_install.h"
#include "support/fault_sweep.h"

namespace nebrin::testing {
namespace {

// A machine with a stored profile (number 0) whose wireless adapter is to get a new address.
std::shared_ptr<sim::Machine> StoredMachine() {
  auto m = TwoAdapterMachine();
  InstallPlatform(m);
  CaptureAndStore();
  m->SetString(sim::kHklm, "SOFTWARE\\CORVANE\\Nebrin", "SSID", "Cafe");
  m->process_state().table.push_back({90, "netsh.exe", true, 2u, std::nullopt});
  m->process_state().table.push_back({94, "System", false, std::nullopt, std::nullopt});
  return m;
}

Profile Loaded() {
  Profile p;
  CNetInfoRetrieve().GetInfoFromRegistry(0, &p.env, p.adapters);
  Put(p.adapters[1].IpAddressList, "10.0.0.9");
  p.env.bDefaultPrinterFlag = 1;
  Put(p.env.strPrinterName, "Laser");
  return p;
}

TEST(ApplyFaultsTest, EveryMemberEndsCleanlyUnderEveryFault) {
  NebrinChar netsh[] = {'n', 'e', 't', 's', 'h', '.', 'e', 'x', 'e', 0};
  const std::vector<FaultSweepCase> cases = {
      {"GetOSVer", StoredMachine, [] { return CNetInfoManage().GetOSVer(); }, {0, 1}},
      {"CheckOSStatus", StoredMachine,
       [&] { return CNetInfoManage().CheckOSStatus(netsh); }, {0, 1}},
      {"CheckAdapterExist", StoredMachine,
       [] {
         Profile p = Loaded();
         return CNetInfoManage().CheckAdapterExist(&p.env, p.adapters, 1);
       },
       {0, 1}},
      {"FindSavedDevice", StoredMachine,
       [] {
         Profile p = Loaded();
         return CNetInfoManage().FindSavedDevice(&p.env, p.adapters);
       },
       {0, 1}},
      {"GetChangeStatus", StoredMachine,
       [] {
         Profile p = Loaded();
         return CNetInfoManage().GetChangeStatus(&p.env, p.adapters);
       },
       {0, 1}},
      {"MakeInitialPartInIPTxt", StoredMachine,
       [] { return CNetInfoManage().MakeInitialPartInIPTxt(); }, {0, 1}},
      {"MakeDHCPPartInIPTxt",
       [] {
         auto m = StoredMachine();
         CNetInfoManage().MakeInitialPartInIPTxt();
         return m;
       },
       [] {
         Profile p = Loaded();
         return CNetInfoManage().MakeDHCPPartInIPTxt(&p.env, p.adapters, 0);
       },
       {0, 1}},
      {"MakeStaticPartInIPTxt",
       [] {
         auto m = StoredMachine();
         CNetInfoManage().MakeInitialPartInIPTxt();
         return m;
       },
       [] {
         Profile p = Loaded();
         return CNetInfoManage().MakeStaticPartInIPTxt(&p.env, p.adapters, 1);
       },
       {0, 1}},
      {"MakeEndPartInIPTxt",
       [] {
         auto m = StoredMachine();
         CNetInfoManage().MakeInitialPartInIPTxt();
         return m;
       },
       [] { return CNetInfoManage().MakeEndPartInIPTxt(); }, {0, 1}},
      {"NormalSetup", StoredMachine,
       [] {
         Profile p = Loaded();
         return CNetInfoManage().NormalSetup(&p.env, p.adapters);
       },
       {18, 19, 21, 25}},
  };
  for (const auto& sweep : cases) {
    const FaultSweepReport report = RunFaultSweep(sweep);
    EXPECT_GT(report.calls, 0u) << sweep.name;
  }
}

}  // namespace
}  // namespace nebrin::testing
