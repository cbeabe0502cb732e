// Adapter matching and change status against stored profiles on a simulated machine.
#include <gtest/gtest.h>

#include "NebrinCoreDll.h"
#include "apply/apply_machines.h"
#include "support/sim_fixture.h"

namespace nebrin::testing {
namespace {

class AdapterMatchingTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    Use(TwoAdapterMachine());
    profile = CaptureAndStore();
  }
  void RemoveAdapter(int listed) {
    auto& list = machine().listed_adapters();
    list.erase(list.begin() + listed);
  }
  Profile profile;
  CNetInfoManage manage;
};

TEST_F(AdapterMatchingTest, CheckAdapterExistReloadsTheStoredName) {
  Put(profile.adapters[1].AdapterName, "{scribbled}");
  EXPECT_EQ(manage.CheckAdapterExist(&profile.env, profile.adapters, 1), 1);
  EXPECT_EQ(Text(profile.adapters[1].AdapterName), WirelessStatic(1).listed.guid);
  machine().ResetCounts();
  EXPECT_EQ(manage.CheckAdapterExist(&profile.env, profile.adapters, 2), 0);  // = AdapterCount
  EXPECT_EQ(machine().CallCount(), 0u);
  RemoveAdapter(1);
  EXPECT_EQ(manage.CheckAdapterExist(&profile.env, profile.adapters, 1), 0);
  EXPECT_EQ(manage.CheckAdapterExist(&profile.env, profile.adapters, 0), 1);
}

// The host's array has ten records. A stored profile whose AdapterCount says more (an eleventh
// adapter key that names a present adapter) is refused before any record past the tenth is read or
// written.
TEST_F(AdapterMatchingTest, CountsBeyondTheTenRecordsAreRefused) {
  struct Guarded {
    Profile profile;
    AdapterInfoStr after;  // where an eleventh record would lie
  } g;
  g.profile = profile;
  g.profile.env.AdapterCount = 11;
  machine().SetString(sim::kHkcu, "Software\\Corvane\\Nebrin\\0\\10", "AdapterName",
                      WiredDhcp(1).listed.guid);
  Put(g.after.AdapterName, "guard");
  Put(g.after.DhcpEnabled, "yes");
  EXPECT_EQ(manage.CheckAdapterExist(&g.profile.env, g.profile.adapters, 10), 0);
  EXPECT_EQ(manage.FindSavedDevice(&g.profile.env, g.profile.adapters), 0);
  EXPECT_EQ(manage.GetChangeStatus(&g.profile.env, g.profile.adapters), 0);
  EXPECT_EQ(Text(g.after.AdapterName), "guard");
  // Within the ten records the same profile is matched.
  g.profile.env.AdapterCount = 2;
  EXPECT_EQ(manage.FindSavedDevice(&g.profile.env, g.profile.adapters), 1);
}

TEST_F(AdapterMatchingTest, FindSavedDeviceNeedsWhatTheSharingModeNeeds) {
  const std::string wired = WiredDhcp(1).listed.guid;
  const std::string wireless = WirelessStatic(1).listed.guid;
  struct Case {
    const char* what;
    int mode;
    std::string publicGuid, privateGuid;
    int missing;  // index in the machine's list of an adapter to remove, -1 none
    int expected;
  };
  const std::vector<Case> cases = {
      {"normal, all present", 0, "", "", -1, 1},
      {"normal, one missing", 0, "", "", 1, 1},
      {"host, private missing", 1, wired, wireless, 1, 0},
      {"host, public missing", 1, wired, wireless, 0, 0},
      {"host, other adapter missing", 1, wired, "{none}", 1, 1},
      {"host, neither named", 1, "{a}", "{b}", 0, 1},
      {"client, private missing", 2, wired, wireless, 1, 0},
      {"client, public missing", 2, wired, wireless, 0, 1},
  };
  for (const auto& c : cases) {
    Use(TwoAdapterMachine());
    Profile p = CaptureAndStore();
    p.env.nICSFlag = c.mode;
    Put(p.env.strPublicDevGUID, c.publicGuid);
    Put(p.env.strPrivateDevGUID, c.privateGuid);
    if (c.missing >= 0) RemoveAdapter(c.missing);
    EXPECT_EQ(manage.FindSavedDevice(&p.env, p.adapters), c.expected) << c.what;
  }
  // A normal profile none of whose adapters is present.
  machine().listed_adapters().clear();
  EXPECT_EQ(manage.FindSavedDevice(&profile.env, profile.adapters), 0);
  EXPECT_EQ(manage.GetChangeStatus(&profile.env, profile.adapters), 0);
}

TEST_F(AdapterMatchingTest, ChangeStatusWaitsForEveryNetworkShell) {
  auto& state = machine().process_state();
  // One shell ends after 40 scans, another after 3 s of virtual time.
  state.table.push_back({77, "netsh.exe", true, 40u, std::nullopt});
  state.table.push_back({81, "netsh.exe", true, std::nullopt, machine().tick_count() + 3000});
  const std::uint32_t before = machine().tick_count();
  EXPECT_EQ(manage.GetChangeStatus(&profile.env, profile.adapters), 1);
  EXPECT_TRUE(state.table.empty());
  EXPECT_GE(machine().tick_count() - before, 3000u);
  EXPECT_LT(machine().tick_count() - before, 3200u);  // it paused briefly between scans
}

TEST_F(AdapterMatchingTest, ChangeStatusConfirmsModeAndFirstAddress) {
  const std::string tcpip = sim::TcpipInterfaceKey(WirelessStatic(1).listed.guid);
  struct Case {
    const char* what;
    void (*change)(sim::Machine&, const std::string&);
    int expected;
  };
  const std::vector<Case> cases = {
      {"unchanged", [](sim::Machine&, const std::string&) {}, 1},
      {"other address",
       [](sim::Machine& m, const std::string& k) {
         m.SetValue(sim::kHklm, k, "IPAddress", sim::RegValue::MultiString({"10.0.0.9"}));
       },
       0},
      {"address second",
       [](sim::Machine& m, const std::string& k) {
         m.SetValue(sim::kHklm, k, "IPAddress",
                    sim::RegValue::MultiString({"10.0.0.9", "10.0.0.5"}));
       },
       0},
      {"gateway differs: not examined",
       [](sim::Machine& m, const std::string& k) {
         m.SetValue(sim::kHklm, k, "DefaultGateway", sim::RegValue::MultiString({"10.0.0.254"}));
       },
       1},
      {"wrong mode", [](sim::Machine& m, const std::string& k) { m.SetDword(sim::kHklm, k, "EnableDHCP", 1); },
       0},
      {"absent adapter: one expected, one confirmed",
       [](sim::Machine& m, const std::string&) { m.listed_adapters().erase(m.listed_adapters().begin() + 1); },
       1},
  };
  for (const auto& c : cases) {
    Use(TwoAdapterMachine());
    Profile p = CaptureAndStore();
    c.change(machine(), tcpip);
    EXPECT_EQ(manage.GetChangeStatus(&p.env, p.adapters), c.expected) << c.what;
  }
  // The DHCP adapter running with a fixed address.
  Use(TwoAdapterMachine());
  Profile p = CaptureAndStore();
  machine().SetDword(sim::kHklm, sim::TcpipInterfaceKey(WiredDhcp(1).listed.guid), "EnableDHCP", 0);
  EXPECT_EQ(manage.GetChangeStatus(&p.env, p.adapters), 0);
}

}  // namespace
}  // namespace nebrin::testing
