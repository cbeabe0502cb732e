// No exception leaves the library: every built member runs the allocation sweep, each of its
// allocations failing in turn, and must answer with one of its documented results, leaving
// nothing open. A member added to the library adds its row here.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "NebrinCoreDll.h"
#include "nebrin/platform_install.h"
#include "platform/platform.h"
#include "store/store_fixture.h"
#include "support/allocation_sweep.h"
#include "support/failing_allocation.h"
#include "wlan/bound_handle.h"

namespace nebrin::testing {
namespace {

// The demo machine with two stored profiles (0, the office: a DHCP and a static adapter, applied
// last; 1, one static adapter), the machine-wide key and an "ip.txt" begun.
std::shared_ptr<sim::Machine> Stored() {
  auto m = sim::Machine::Demo();
  InstallPlatform(m);
  Profile office = OfficeProfile();
  CNetInfoManage().SaveProfileInfoToRegistry(&office.env, office.adapters, 1);
  Profile home = OfficeProfile("Home");
  home.env.AdapterCount = 1;
  home.adapters[0] = office.adapters[1];
  CNetInfoManage().SaveProfileInfoToRegistry(&home.env, home.adapters, 1);
  CNetInfoManage().SetLastProfileNo(0);
  CNetInfoManage().MakeHKLMNebrinKey(&office.env);
  CNetInfoManage().MakeInitialPartInIPTxt();
  InstallPlatform(nullptr);
  return m;
}

// Profile 0 as the host has it after loading it.
Profile Loaded() {
  auto m = Stored();
  InstallPlatform(m);
  Profile p;
  CCommonFtn().InitStructure(&p.env, p.adapters);
  CNetInfoRetrieve().GetInfoFromRegistry(0, &p.env, p.adapters);
  InstallPlatform(nullptr);
  return p;
}

// No platform installed: the library builds its default one when a member first needs it.
std::shared_ptr<sim::Machine> NoPlatform() { return nullptr; }

NebrinChar* Wide(const char16_t* text) {
  static NebrinChar buffer[4][128];
  static int next = 0;
  NebrinChar* out = buffer[next++ % 4];
  std::size_t i = 0;
  for (; text[i] != 0 && i + 1 < 128; ++i) out[i] = static_cast<NebrinChar>(text[i]);
  out[i] = 0;
  return out;
}

// One object of every class, each then assigned a new one.
void ConstructAndAssignEveryClass() {
  CCommonFtn a;
  CICSManage b;
  CNetDiag c;
  CNetInfoManage d;
  CNetInfoRetrieve e;
  CWLanControl f;
  CNebrinCoreDll g;
  a = CCommonFtn();
  b = CICSManage();
  c = CNetDiag();
  d = CNetInfoManage();
  e = CNetInfoRetrieve();
  f = CWLanControl();
  g = CNebrinCoreDll();
}

TEST(NoThrow, EveryMemberAnswersWhenAnyAllocationFails) {
  const Profile loaded = Loaded();
  Profile changed = loaded;
  Put(changed.adapters[1].IpAddressList, "10.0.0.9");
  std::u16string taken = u"Home";
  std::u16string netsh = u"netsh.exe";
  std::u16string router = u"router.home";
  std::u16string url = u"http://www.example.com/";
  std::u16string dhcpList = u"192.168.1.1 192.168.1.2";
  std::u16string staticList = u"10.0.0.1,10.0.0.2";
  std::u16string servicePath = u"C:\\Program Files\\Nebrin\\NebrinSvc.exe";
  std::u16string connection = u"Wireless Network Connection";
  // The office profile as a sharing host (wired public, wireless private) and as a client.
  Profile host = loaded;
  host.env.nICSFlag = 1;
  host.env.bICFFlag = 1;
  std::copy(std::begin(loaded.adapters[0].AdapterName), std::end(loaded.adapters[0].AdapterName),
            std::begin(host.env.strPublicDevGUID));
  std::copy(std::begin(loaded.adapters[1].AdapterName), std::end(loaded.adapters[1].AdapterName),
            std::begin(host.env.strPrivateDevGUID));
  Profile client = host;
  client.env.nICSFlag = 2;
  const std::set<int> kStatuses = {0, 1, static_cast<int>(0x8007000Eu),
                                   static_cast<int>(0x80070008u)};
  const std::set<int> kDisassociation = {
      static_cast<int>(0x80070015u), static_cast<int>(0x8007000Eu), static_cast<int>(0x80070008u)};
  // E_FAIL when an exception escapes the installation; E_NOINTERFACE when the lock interface
  // could not be had.
  const std::set<int> kInstallStatuses = {
      0, static_cast<int>(0x80004005u), static_cast<int>(0x8007000Eu),
      static_cast<int>(0x80070008u), static_cast<int>(0x80004002u)};
  static constexpr const char16_t* kSetupFile =
      u"C:\\Program Files\\corvane\\Nebrin\\Driver\\ORLPD.inf";
  CNetInfoManage manage;
  CNetInfoRetrieve retrieve;
  CNetDiag diag;
  CCommonFtn common;

  const std::vector<AllocationSweepCase> cases = {
      // Frame.
      {"constructors and assignments",
       Stored,
       [] {
         ConstructAndAssignEveryClass();
         return 1;
       },
       {1}},
      {"members that answer 1",
       Stored,
       [&] {
         Profile p = loaded;
         return common.CheckAdapterExist(0, 0, p.adapters) + common.CheckOSVersion() +
                common.CheckSingleInstance(taken.data()) +
                common.MakeMappingIndexArrayForGUI(0, 0) +
                CICSManage().ICSInstallAndUninstall(0, &p.env, p.adapters) +
                manage.CheckAddressValid(taken.data()) + CRoamingControl().InstallRoamingDriver() +
                CRoamingControl().UninstallRoamingDriver() +
                CRoamingControl().CheckOutRoamingStatus() +
                CWLanControl().GetMaxRSSIValue(taken.data()) +
                CWLanControl().ChangeAPOrder(taken.data());
       },
       {11}},
      {"InitStructure",
       Stored,
       [&] {
         Profile p = loaded;
         common.InitStructure(&p.env, p.adapters);
         return p.env.nProfileKey;
       },
       {-1}},
      // Discovery and lease refresh.
      {"IPRetrieve",
       Stored,
       [&] {
         Profile p = loaded;
         return retrieve.IPRetrieve(&p.env, p.adapters);
       },
       {0, 1}},
      {"GetWLANDeviceCount",
       Stored,
       [&] {
         Profile p = loaded;
         return retrieve.GetWLANDeviceCount(&p.env, p.adapters);
       },
       {0, 1}},
      {"CheckInfoChangeStatus",
       Stored,
       [&] {
         Profile a = loaded;
         Profile b = changed;
         return retrieve.CheckInfoChangeStatus(&a.env, a.adapters, &b.env, b.adapters);
       },
       {0, 71}},
      {"GetDHCPDNSAddress",
       Stored,
       [&] {
         Profile p = loaded;
         return manage.GetDHCPDNSAddress(p.adapters, dhcpList.data(), 0);
       },
       {1}},
      {"GetDNSAddress",
       Stored,
       [&] {
         Profile p = loaded;
         return manage.GetDNSAddress(p.adapters, staticList.data(), 1);
       },
       {1}},
      {"GetDHCPIP",
       Stored,
       [&] {
         Profile p = loaded;
         return manage.GetDHCPIP(0, 0, p.adapters);
       },
       {0, 1}},
      // The profile store.
      {"SaveProfileInfoToRegistry new",
       Stored,
       [&] {
         Profile p = loaded;
         return manage.SaveProfileInfoToRegistry(&p.env, p.adapters, 1);
       },
       {0, 1}},
      {"SaveProfileInfoToRegistry rewrite",
       Stored,
       [&] {
         Profile p = changed;
         return manage.SaveProfileInfoToRegistry(&p.env, p.adapters, 0);
       },
       {0, 1}},
      {"SaveValueForEachProfile",
       Stored,
       [&] {
         Profile p = loaded;
         return manage.SaveValueForEachProfile(&p.env, 0);
       },
       {0, 1}},
      {"SaveValueForEachAdapter",
       Stored,
       [&] {
         Profile p = loaded;
         return manage.SaveValueForEachAdapter(p.adapters, 0, 1);
       },
       {0, 1}},
      {"SaveNameOrPrinter",
       Stored,
       [&] {
         Profile p = loaded;
         p.env.bDefaultPrinterFlag = 1;
         p.env.strPrinterName[0] = u'X';
         p.env.strPrinterName[1] = 0;
         return manage.SaveNameOrPrinter(&p.env);
       },
       {0}},
      {"GetProfileCount", Stored, [&] { return retrieve.GetProfileCount(); }, {0, 1, 2}},
      {"GetNameIndexInfo",
       Stored,
       [&] {
         NameIndex entries[2];
         return retrieve.GetNameIndexInfo(entries, 2);
       },
       {0, 1}},
      {"GetInfoFromRegistry",
       Stored,
       [&] {
         Profile p = loaded;
         return retrieve.GetInfoFromRegistry(0, &p.env, p.adapters);
       },
       {0, 1}},
      {"GetCurrentProfileInfo",
       Stored,
       [&] {
         Profile p = loaded;
         return retrieve.GetCurrentProfileInfo(&p.env, p.adapters);
       },
       {0, 1}},
      // A store that cannot be read holds no names.
      {"CanUseThisName", Stored, [&] { return retrieve.CanUseThisName(taken.data()); }, {0, 1}},
      {"CanUseThisNameEdit",
       Stored,
       [&] {
         Profile p = loaded;
         return retrieve.CanUseThisNameEdit(taken.data(), &p.env);
       },
       {0, 1}},
      {"SetLastProfileNo", Stored, [&] { return manage.SetLastProfileNo(1); }, {0, 1}},
      {"DeleteSelectProfile", Stored, [&] { return manage.DeleteSelectProfile(0); }, {0, 1}},
      {"DeleteSelectProfileAdapter",
       Stored,
       [&] { return manage.DeleteSelectProfileAdapter(0); },
       {0, 1}},
      {"CountProfileKey", Stored, [&] { return manage.CountProfileKey(); }, {0, 1}},
      {"SetProfileCount", Stored, [&] { return manage.SetProfileCount(); }, {0, 1}},
      {"DeleteAllProfile", Stored, [&] { return manage.DeleteAllProfile(); }, {0, 1}},
      {"DeleteNebrinKey", Stored, [&] { return manage.DeleteNebrinKey(); }, {0, 1}},
      {"MakeHKLMNebrinKey",
       Stored,
       [&] {
         Profile p = loaded;
         return manage.MakeHKLMNebrinKey(&p.env);
       },
       {0, 1}},
      {"DeleteHKLMNebrinKey", Stored, [&] { return manage.DeleteHKLMNebrinKey(); }, {0, 1}},
      // Environment checks, adapter matching, the address script and address application.
      {"GetOSVer", Stored, [&] { return manage.GetOSVer(); }, {0}},
      {"CheckOSStatus", Stored, [&] { return manage.CheckOSStatus(netsh.data()); }, {0}},
      {"CheckAdapterExist",
       Stored,
       [&] {
         Profile p = loaded;
         return manage.CheckAdapterExist(&p.env, p.adapters, 1);
       },
       {0, 1}},
      {"FindSavedDevice",
       Stored,
       [&] {
         Profile p = loaded;
         return manage.FindSavedDevice(&p.env, p.adapters);
       },
       {0, 1}},
      {"GetChangeStatus",
       Stored,
       [&] {
         Profile p = loaded;
         return manage.GetChangeStatus(&p.env, p.adapters);
       },
       {0, 1}},
      {"MakeInitialPartInIPTxt", Stored, [&] { return manage.MakeInitialPartInIPTxt(); }, {0, 1}},
      {"MakeDHCPPartInIPTxt",
       Stored,
       [&] {
         Profile p = loaded;
         return manage.MakeDHCPPartInIPTxt(&p.env, p.adapters, 0);
       },
       {0, 1}},
      {"MakeStaticPartInIPTxt",
       Stored,
       [&] {
         Profile p = loaded;
         return manage.MakeStaticPartInIPTxt(&p.env, p.adapters, 1);
       },
       {0, 1}},
      {"MakeEndPartInIPTxt", Stored, [&] { return manage.MakeEndPartInIPTxt(); }, {0, 1}},
      {"NormalSetup",
       Stored,
       [&] {
         Profile p = changed;
         return manage.NormalSetup(&p.env, p.adapters);
       },
       {18, 19, 21, 25}},
      // Diagnostics and printers.
      {"Ping", Stored, [&] { return diag.Ping(1, router.data()); }, {0, 1}},
      {"checksum",
       Stored,
       [&] {
         std::uint16_t words[2] = {0x0201, 0x0003};
         return static_cast<int>(diag.checksum(words, 3));
       },
       {0xFDFB}},
      {"fill_icmp_data",
       Stored,
       [&] {
         char packet[44];
         diag.fill_icmp_data(packet, 44);
         return static_cast<int>(packet[0]);
       },
       {8}},
      // The first call of a host that installed no platform builds the default one, and that
      // can fail too: the packet is then left as it was.
      {"fill_icmp_data on first use",
       NoPlatform,
       [&] {
         char packet[44] = {};
         diag.fill_icmp_data(packet, 44);
         return static_cast<int>(packet[0]);
       },
       {0, 8}},
      {"CheckURLConnection", Stored, [&] { return diag.CheckURLConnection(url.data()); }, {3, 5}},
      {"CheckOutCableConnection",
       Stored,
       [&] {
         Profile p = loaded;
         return diag.CheckOutCableConnection(&p.env, p.adapters, 0);
       },
       {0, 1}},
      {"CheckOutHWEnableDisable",
       Stored,
       [&] {
         Profile p = loaded;
         return diag.CheckOutHWEnableDisable(&p.env, p.adapters, 1);
       },
       {0, 1}},
      {"GetTotalPrtCount", Stored, [&] { return retrieve.GetTotalPrtCount(); }, {0, 3}},
      {"GetTotoalPrinterInfo",
       Stored,
       [&] {
         int count = 2;
         PrinterInfostr printers[2];
         return retrieve.GetTotoalPrinterInfo(count, printers);
       },
       {0, 1}},
      {"RunPrtWizard", Stored, [&] { return common.RunPrtWizard(); }, {1}},
      {"CheckOutNetConnectStatus",
       Stored,
       [&] {
         Profile p = loaded;
         return diag.CheckOutNetConnectStatus(&p.env, p.adapters, 0);
       },
       {50, 51, 52, 53}},
      // Connection sharing and the firewall switch.
      {"ICSServerSetup",
       Stored,
       [&] {
         Profile p = host;
         return manage.ICSServerSetup(&p.env, p.adapters, 1);
       },
       {10, 11, 12, 13, 14, 15, 16, 17, 24, 25}},
      {"ServerIPSet",
       Stored,
       [&] {
         Profile p = host;
         return manage.ServerIPSet(&p.env, p.adapters);
       },
       {16, 18}},
      {"ICSClientSetup",
       Stored,
       [&] {
         Profile p = client;
         return manage.ICSClientSetup(&p.env, p.adapters);
       },
       {18, 19, 21, 24, 25}},
      {"CheckServerIPChange",
       Stored,
       [&] {
         Profile p = host;
         return manage.CheckServerIPChange(&p.env, p.adapters);
       },
       {0, 1}},
      {"CheckServerIPChangeResult",
       Stored,
       [&] {
         Profile p = host;
         return manage.CheckServerIPChangeResult(&p.env, p.adapters);
       },
       {0, 1}},
      {"CheckClientIPChange",
       Stored,
       [&] {
         Profile p = client;
         return manage.CheckClientIPChange(&p.env, p.adapters);
       },
       {0, 1}},
      // Applying a profile: a sharing host with its private wireless network, from none.
      {"ApplySelectProfile",
       Stored,
       [&] {
         Profile p = host;
         p.env.bPrivateWlan = 1;
         NebrinHandle handle{};
         return manage.ApplySelectProfile(handle, &p.env, p.adapters, nullptr, nullptr);
       },
       {10, 11, 12, 13, 14, 15, 16, 17, 18, 23, 24, 25, 26}},
      {"SetICF",
       Stored,
       [&] {
         Profile p = host;
         return manage.SetICF(&p.env);
       },
       {0, 1, 15}},
      // Wireless services, the ad hoc tool and the connection menu command. The status members
      // answer a failed system call as its HRESULT; an allocation that fails inside the library
      // gives E_OUTOFMEMORY, inside the simulated system ERROR_NOT_ENOUGH_MEMORY.
      {"StartPDService", Stored, [&] { return CWLanControl().StartPDService(); }, kStatuses},
      {"StopWZCService", Stored, [&] { return CWLanControl().StopWZCService(); }, kStatuses},
      {"StartWZCService", Stored, [&] { return CWLanControl().StartWZCService(); }, kStatuses},
      {"CheckWZCStatus", Stored, [&] { return CWLanControl().CheckWZCStatus(1); }, {0, 1}},
      {"CheckNebrinWLANStatus",
       Stored,
       [&] { return CWLanControl().CheckNebrinWLANStatus(); },
       {0, 1}},
      {"InstallWLANService",
       Stored,
       [&] { return CWLanControl().InstallWLANService(servicePath.data()); },
       {0, 1}},
      {"DeleteWLANService", Stored, [&] { return CWLanControl().DeleteWLANService(); }, {0, 1}},
      {"MakeAdHocByExternalBinary",
       Stored,
       [&] { return CWLanControl().MakeAdHocByExternalBinary(1); },
       {0, 1}},
      {"MakeOneClickAdHoc",
       Stored,
       [&] {
         NebrinHandle device{};
         return CWLanControl().MakeOneClickAdHoc(device, nullptr);
       },
       {22, 23, 27}},
      {"OnAp", Stored, [&] { return CWLanControl().OnAp(connection.data()); }, {0, 1}},
      // The protocol-driver channel and driver installation. A configuration member runs with
      // COM initialised, as the host does; after a successful installation the host ends COM.
      {"OpenDevice", Stored, [] { return OnBoundHandle([](NebrinHandle) { return 0; }); },
       kStatuses},
      {"SetInfrastructureMode", Stored,
       [] {
         return OnBoundHandle([](NebrinHandle d) {
           return CWLanControl().SetInfrastructureMode(d, Ndis802_11IBSS);
         });
       },
       kStatuses},
      {"SetAuthenticationMode", Stored,
       [] {
         return OnBoundHandle([](NebrinHandle d) {
           return CWLanControl().SetAuthenticationMode(d, Ndis802_11AuthModeOpen);
         });
       },
       kStatuses},
      {"SetWepStatus", Stored,
       [] {
         return OnBoundHandle(
             [](NebrinHandle d) { return CWLanControl().SetWepStatus(d, Ndis802_11WEPEnabled); });
       },
       kStatuses},
      {"AddWepKey", Stored,
       [] {
         return OnBoundHandle(
             [](NebrinHandle d) { return CWLanControl().AddWepKey(d, 0, Wide(u"12345")); });
       },
       kStatuses},
      {"SetSsid", Stored,
       [] {
         return OnBoundHandle(
             [](NebrinHandle d) { return CWLanControl().SetSsid(d, Wide(u"Cafe")); });
       },
       kStatuses},
      // Not associated: the driver answers ERROR_NOT_READY.
      {"Dissociate", Stored,
       [] { return OnBoundHandle([](NebrinHandle d) { return CWLanControl().Dissociate(d); }); },
       kDisassociation},
      {"SwitchToAdHoc", Stored,
       [] {
         return OnBoundHandle([](NebrinHandle d) {
           return CWLanControl().SwitchToAdHoc(d, Wide(u"Cafe"), Wide(u"12345"), 1);
         });
       },
       kStatuses},
      {"CheckPDDriverExist", Stored, [] { return CWLanControl().CheckPDDriverExist(); }, {0, 1}},
      {"InstallPDDriver", Stored,
       [] {
         const int result = CWLanControl().InstallPDDriver(Wide(kSetupFile));
         if (result >= 0) platform::Current().com().Uninitialize();
         return result;
       },
       kInstallStatuses},
      {"InstallNetComponent", Stored,
       [] {
         platform::ComApartment apartment(platform::Current().com());
         return CWLanControl().InstallNetComponent(Wide(u"K_ORLPD"), Wide(kSetupFile));
       },
       kInstallStatuses},
      {"GetINetCfg", Stored,
       [] {
         platform::ComApartment apartment(platform::Current().com());
         CWLanControl wlan;
         INetCfg* netCfg = nullptr;
         const int result = wlan.GetINetCfg(netCfg);
         if (result == 0) wlan.ReleaseINetCfg(netCfg);
         return result;
       },
       kInstallStatuses},
      {"ReleaseINetCfg", Stored,
       [] {
         platform::ComApartment apartment(platform::Current().com());
         CWLanControl wlan;
         INetCfg* netCfg = nullptr;
         const int opened = wlan.GetINetCfg(netCfg);
         return opened == 0 ? wlan.ReleaseINetCfg(netCfg) : opened;
       },
       kInstallStatuses},
  };
  for (const AllocationSweepCase& sweep : cases) {
    const AllocationSweepReport report = RunAllocationSweep(sweep);
    SCOPED_TRACE(sweep.name);
    // What could not be had ends the member with a documented answer.
    if (report.allocations > 0) {
      EXPECT_FALSE(report.resultsUnderFailure.empty()) << sweep.name;
    }
  }
}

// The members that run without a guard allocate nothing and never reach the platform, not even
// on the first call of a host that installed none (building the default platform allocates).
TEST(NoThrow, UnguardedMembersAllocateNothing) {
  Profile p = Loaded();
  std::u16string list = u"10.0.0.1,10.0.0.2";
  std::u16string name = u"Home";
  std::uint16_t words[2] = {0x0201, 0x0003};
  const std::vector<std::pair<std::string, std::function<void()>>> members = {
      {"constructors and assignments",
       ConstructAndAssignEveryClass},
      {"members that answer 1",
       [&] {
         CCommonFtn common;
         common.CheckAdapterExist(0, 0, p.adapters);
         common.CheckOSVersion();
         common.CheckSingleInstance(name.data());
         common.MakeMappingIndexArrayForGUI(0, 0);
         CICSManage().ICSInstallAndUninstall(0, &p.env, p.adapters);
         CNetInfoManage().CheckAddressValid(name.data());
         CRoamingControl().InstallRoamingDriver();
         CRoamingControl().UninstallRoamingDriver();
         CRoamingControl().CheckOutRoamingStatus();
         CWLanControl().GetMaxRSSIValue(name.data());
         CWLanControl().ChangeAPOrder(name.data());
       }},
      {"InitStructure", [&] { CCommonFtn().InitStructure(&p.env, p.adapters); }},
      {"GetDHCPDNSAddress",
       [&] { CNetInfoManage().GetDHCPDNSAddress(p.adapters, list.data(), 0); }},
      {"GetDNSAddress", [&] { CNetInfoManage().GetDNSAddress(p.adapters, list.data(), 1); }},
      {"checksum", [&] { CNetDiag().checksum(words, 3); }},
  };
  InstallPlatform(nullptr);
  for (const auto& [label, member] : members) {
    bool fired = false;
    {
      FailingAllocation failing(1);
      try {
        member();
      } catch (...) {
      }
      fired = failing.fired();
    }
    EXPECT_FALSE(fired) << label << " allocates";
    InstallPlatform(nullptr);  // drops a default platform the member may have built
  }
}

// The lines of one listing that the other lacks, each marked with the side it is on.
std::vector<std::string> Difference(const std::vector<std::string>& now,
                                    const std::vector<std::string>& before) {
  std::vector<std::string> lines;
  for (const std::string& line : now) {
    if (std::find(before.begin(), before.end(), line) == before.end()) lines.push_back("+ " + line);
  }
  for (const std::string& line : before) {
    if (std::find(now.begin(), now.end(), line) == now.end()) lines.push_back("- " + line);
  }
  return lines;
}

// A new-profile save that cannot have its memory, wherever that happens, takes back what it
// changed: the store is as it was, except that "ProfileCount" stays one higher when the profile
// key itself could not be created (that number is then skipped, as with any failure there). A
// failed first save may leave only the store root, with "ProfileCount" = "1" or without it.
TEST(NoThrow, NewSaveThatCannotHaveItsMemoryLeavesTheStoreAsItWas) {
  const Profile loaded = Loaded();
  auto listing = [](const std::shared_ptr<sim::Machine>& m) {
    return Subtree(*m, sim::kHkcu, kRoot);
  };
  struct Case {
    std::string name;
    std::function<std::shared_ptr<sim::Machine>()> machine;
    int number;                                    // the number the new profile takes
    std::set<std::vector<std::string>> unchanged;  // what the store may look like after a failure
  };
  auto skipped = Stored();
  skipped->SetString(sim::kHkcu, kRoot, "ProfileCount", "3");
  auto counted = sim::Machine::Demo();
  counted->SetString(sim::kHkcu, kRoot, "ProfileCount", "1");
  auto bare = sim::Machine::Demo();
  bare->CreateKeyPath(sim::kHkcu, kRoot);
  const Case cases[] = {
      {"next save", Stored, 2, {listing(Stored()), listing(skipped)}},
      {"first save",
       [] { return sim::Machine::Demo(); },
       0,
       {listing(sim::Machine::Demo()), listing(counted), listing(bare)}},
  };
  for (const Case& c : cases) {
    AllocationSweepCase sweep;
    sweep.name = c.name;
    sweep.machine = c.machine;
    sweep.operation = [&] {
      Profile p = loaded;
      return CNetInfoManage().SaveProfileInfoToRegistry(&p.env, p.adapters, 1);
    };
    sweep.documented = {0, 1};
    sweep.after = [&](sim::Machine& m, int result, const std::string& label) {
      const std::vector<std::string> after = Subtree(m, sim::kHkcu, kRoot);
      if (result == 1) {
        EXPECT_TRUE(m.KeyExists(sim::kHkcu, ProfilePath(c.number))) << label;
        EXPECT_EQ(m.GetString(sim::kHkcu, kRoot, "ProfileCount"), std::to_string(c.number + 1))
            << label;
      } else {
        EXPECT_EQ(c.unchanged.count(after), 1u)
            << label << ": the store differs from before in\n"
            << ::testing::PrintToString(Difference(after, *c.unchanged.begin()));
      }
    };
    const AllocationSweepReport report = RunAllocationSweep(sweep);
    EXPECT_EQ(report.resultsUnderFailure.count(0), 1u) << c.name;
  }
}

std::size_t OpenDescriptors() {
  return static_cast<std::size_t>(std::distance(
      std::filesystem::directory_iterator("/proc/self/fd"), std::filesystem::directory_iterator()));
}

// With the network set to real, a raw socket the simulated machine cannot keep account of is
// closed again, not left open.
TEST(NoThrow, RealSocketTheMachineCannotKeepIsClosed) {
  sim::Machine machine;
  machine.network().real = true;
  platform::Sockets& sockets = machine.sockets();
  ASSERT_EQ(sockets.Startup(0x0102), platform::kSuccess);
  platform::SocketHandle probe = platform::kNoSocket;
  if (sockets.OpenRawIcmp(probe) != platform::kSuccess) {
    sockets.Cleanup();
    GTEST_SKIP() << "raw ICMP sockets need root or CAP_NET_RAW";
  }
  sockets.Close(probe);
  const std::size_t before = OpenDescriptors();
  for (std::uint64_t n = 1;; ++n) {
    platform::SocketHandle socket = platform::kNoSocket;
    platform::Status status;
    bool fired = false;
    {
      FailingAllocation failing(n);
      status = sockets.OpenRawIcmp(socket);
      fired = failing.fired();
    }
    if (status == platform::kSuccess) sockets.Close(socket);
    EXPECT_EQ(OpenDescriptors(), before) << "allocation " << n << " failing";
    if (!fired) break;
    EXPECT_NE(status, platform::kSuccess) << "allocation " << n << " failing";
  }
  sockets.Cleanup();
  EXPECT_EQ(machine.OpenHandles(), 0u);
}

// The demo machine's sharing manager with COM initialised and an enumeration begun; everything
// obtained is released at the end.
class SharingAtHand {
 public:
  SharingAtHand() {
    machine->com().Initialize();
    sharing.CreateSharingManager(manager);
    sharing.EnumEveryConnection(manager, collection);
    sharing.NewEnum(collection, enumerator);
    held_ = {manager, collection, enumerator};
  }
  ~SharingAtHand() {
    for (platform::ComRef ref : held_) machine->com().Release(ref);
    machine->com().Uninitialize();
  }
  platform::ComRef Hold(platform::ComRef ref) {
    if (ref != platform::kNoComRef) held_.push_back(ref);
    return ref;
  }
  // The next connection of the enumeration, its properties and their GUID.
  std::u16string NextGuid() {
    platform::ComRef connection = platform::kNoComRef;
    platform::ComRef props = platform::kNoComRef;
    std::u16string guid;
    sharing.Next(enumerator, connection);
    sharing.ConnectionProps(manager, Hold(connection), props);
    sharing.Guid(Hold(props), guid);
    return guid;
  }
  // The sharing configuration of the connection the enumeration hands out next.
  platform::ComRef NextConfiguration() {
    platform::ComRef connection = platform::kNoComRef;
    platform::ComRef configuration = platform::kNoComRef;
    sharing.Next(enumerator, connection);
    sharing.SharingConfiguration(manager, Hold(connection), configuration);
    return Hold(configuration);
  }

  std::shared_ptr<sim::Machine> machine = sim::Machine::Demo();
  platform::NetworkConnections& sharing = machine->connections();
  platform::ComRef manager = platform::kNoComRef;
  platform::ComRef collection = platform::kNoComRef;
  platform::ComRef enumerator = platform::kNoComRef;

 private:
  std::vector<platform::ComRef> held_;
};

// Runs `step` with the n-th allocation failing, n = 1, 2, ... until a run does not reach it; the
// step checks what it sees when its allocation fails.
template <typename Step>
void EachAllocationFailing(const std::string& what, Step step) {
  for (std::uint64_t n = 1; n < 1000; ++n) {
    SCOPED_TRACE(what + " with allocation " + std::to_string(n) + " failing");
    if (!step(n)) return;
  }
  ADD_FAILURE() << what << " does not come to an end";
}

// The simulated sharing manager and message boxes answer memory they cannot have as the system
// does (E_OUTOFMEMORY; a box that cannot be shown answers 0), with nothing changed and their
// outputs left as they were.
TEST(NoThrow, SimulatedSharingAndMessageBoxesChangeNothingWithoutMemory) {
  EachAllocationFailing("Next", [&](std::uint64_t n) {
    SharingAtHand s;
    const std::size_t open = s.machine->OpenHandles();
    platform::ComRef connection = platform::kNoComRef;
    platform::HResult result = platform::kSOk;
    bool fired = false;
    {
      FailingAllocation failing(n);
      result = s.sharing.Next(s.enumerator, connection);
      fired = failing.fired();
    }
    s.Hold(connection);
    if (!fired) return false;
    EXPECT_EQ(result, platform::kEOutOfMemory);
    EXPECT_EQ(connection, platform::kNoComRef);
    EXPECT_EQ(s.machine->OpenHandles(), open);
    // The enumeration did not move on: the first connection comes next.
    const std::string& first = s.machine->network_connections()[0].guid;
    EXPECT_EQ(s.NextGuid(), std::u16string(first.begin(), first.end()));
    return true;
  });
  EachAllocationFailing("Guid", [&](std::uint64_t n) {
    SharingAtHand s;
    platform::ComRef connection = platform::kNoComRef;
    platform::ComRef props = platform::kNoComRef;
    s.sharing.Next(s.enumerator, connection);
    s.sharing.ConnectionProps(s.manager, s.Hold(connection), props);
    std::u16string guid = u"as it was";
    platform::HResult result = platform::kSOk;
    bool fired = false;
    {
      FailingAllocation failing(n);
      result = s.sharing.Guid(s.Hold(props), guid);
      fired = failing.fired();
    }
    if (!fired) return false;
    EXPECT_EQ(result, platform::kEOutOfMemory);
    EXPECT_EQ(guid, u"as it was");
    return true;
  });
  for (const auto type : {platform::SharingType::Private, platform::SharingType::Public}) {
    EachAllocationFailing("EnableSharing", [&](std::uint64_t n) {
      SharingAtHand s;
      s.NextConfiguration();
      const platform::ComRef wireless = s.NextConfiguration();
      const std::string before = s.machine->ToJsonText();
      platform::HResult result = platform::kSOk;
      bool fired = false;
      {
        FailingAllocation failing(n);
        result = s.sharing.EnableSharing(wireless, type);
        fired = failing.fired();
      }
      if (!fired) return false;
      EXPECT_EQ(result, platform::kEOutOfMemory);
      EXPECT_EQ(s.machine->ToJsonText(), before);
      return true;
    });
  }
  EachAllocationFailing("CreateSharingManager", [&](std::uint64_t n) {
    SharingAtHand s;
    const std::size_t open = s.machine->OpenHandles();
    platform::ComRef manager = platform::kNoComRef;
    platform::HResult result = platform::kSOk;
    bool fired = false;
    {
      FailingAllocation failing(n);
      result = s.sharing.CreateSharingManager(manager);
      fired = failing.fired();
    }
    s.Hold(manager);
    if (!fired) return false;
    EXPECT_EQ(result, platform::kEOutOfMemory);
    EXPECT_EQ(manager, platform::kNoComRef);
    EXPECT_EQ(s.machine->OpenHandles(), open);
    return true;
  });
  EachAllocationFailing("ShowMessage", [&](std::uint64_t n) {
    auto machine = sim::Machine::Demo();
    int answer = 0;
    bool fired = false;
    {
      FailingAllocation failing(n);
      answer = machine->dialogs().ShowMessage(u"No DHCP is added", u"Class CheckClientIPChange",
                                              platform::kMbOk);
      fired = failing.fired();
    }
    if (!fired) return false;
    EXPECT_EQ(answer, 0);
    EXPECT_TRUE(machine->messages_shown().empty());
    return true;
  });
}

}  // namespace
}  // namespace nebrin::testing
