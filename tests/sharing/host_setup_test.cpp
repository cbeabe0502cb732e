// Sharing host set-up on simulated machines: the teardown and set-up passes over the connections,
// each result code produced by failing the step that yields it, and the steps after the switches.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "NebrinCoreDll.h"
#include "sharing/connection_calls.h"
#include "sharing/sharing_machines.h"

namespace nebrin::testing {
namespace {

using sim::Service;
using sim::SharingRole;

class HostSetupTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    Use(SharingMachine());
    profile = StoreSharingProfile(1);
    profile.env.bICFFlag = 1;
  }
  int Setup(Profile& p, int enable) {
    return CNetInfoManage().ICSServerSetup(&p.env, p.adapters, enable);
  }
  sim::SimConnection& Lan() { return machine().network_connections()[0]; }
  sim::SimConnection& Wlan() { return machine().network_connections()[1]; }
  // The host ran with its roles the other way round, the wired firewall on.
  void SwappedRoles() {
    Lan().sharing = SharingRole::Private;
    Lan().firewall = true;
    Wlan().sharing = SharingRole::Public;
  }
  // Runs the set-up once with the sharing manager's calls logged, on a copy of the machine.
  ConnectionCallLog LoggedRun(const sim::Machine& from, int enable) {
    return LogCalls(from, [&] {
      Profile p = profile;
      EXPECT_EQ(Setup(p, enable), 16);
    });
  }

  Profile profile;
};

TEST_F(HostSetupTest, EachStepYieldsItsCode) {
  SwappedRoles();
  const auto before = Copy(machine());
  // The calls of a run with the public firewall asked for, and of one without it.
  std::vector<ConnectionCallLog> logs;  // by the flag
  for (const int flag : {0, 1}) {
    profile.env.bICFFlag = flag;
    logs.push_back(LoggedRun(*before, 1));
  }
  struct Case {
    std::string step;
    int occurrence;
    int code;
    int firewallFlag = 1;
  };
  // The teardown pass walks both connections (three Next calls with the end), then the set-up
  // pass starts over: the wired connection is the public one, the wireless one the private one.
  const Case cases[] = {
      {"CreateSharingManager", 1, 15},
      {"ConnectionProps", 1, 15},
      {"SharingConfiguration", 1, 15},
      {"DisableSharing", 1, 11},
      {"DisableInternetFirewall", 1, 10},
      {"ConnectionProps", 3, 15},
      {"SharingConfiguration", 3, 15},
      {"EnableSharing(Public)", 1, 13},
      {"EnableInternetFirewall", 1, 12},
      {"DisableInternetFirewall", 2, 10},
      {"EnableSharing(Private)", 1, 14},
      // Without the firewall asked for, the public connection's firewall, which public sharing
      // switched on, is switched off again.
      {"DisableInternetFirewall", 2, 10, 0},
      {"DisableInternetFirewall", 3, 10, 0},
      // No collection, no enumerator, no element, no fresh start: nothing is switched on.
      {"EnumEveryConnection", 1, 17},
      {"NewEnum", 1, 17},
      {"Next", 4, 17},
      {"Reset", 1, 17},
      // An unreadable Guid matches neither side.
      {"Guid", 1, 17},
      // An unreadable firewall state is taken as off; the set-up pass switches it on anyway.
      {"InternetFirewallEnabled", 1, 16},
  };
  for (const Case& c : cases) {
    const std::uint64_t n = logs[c.firewallFlag].Number(c.step, c.occurrence);
    ASSERT_NE(n, 0u) << c.step << " #" << c.occurrence << " is not made";
    Use(Copy(*before));
    machine().FailServiceCall(Service::Connections, n, platform::kAccessDenied);
    Profile p = profile;
    p.env.bICFFlag = c.firewallFlag;
    EXPECT_EQ(Setup(p, 1), c.code) << c.step << " #" << c.occurrence;
    EXPECT_EQ(LastProfile(machine()).has_value(), c.code == 16) << c.step;
    EXPECT_EQ(machine().OpenHandles(), 0u) << c.step;
    EXPECT_EQ(machine().ComMisuses(), 0u) << c.step;
  }
  // COM that cannot be initialised leaves the sharing manager out of reach.
  Use(Copy(*before));
  machine().FailServiceCall(Service::Com, 1, platform::kAccessDenied);
  EXPECT_EQ(Setup(profile, 1), 15);
}

// The sharing manager is called in the order of the steps: the teardown pass switches sharing off
// and then the firewall where it is on, connection by connection; the set-up pass shares the
// public connection before it sets that connection's firewall, and switches the private
// connection's firewall off before it shares that one.
TEST_F(HostSetupTest, CallsTheSharingManagerInOrder) {
  SwappedRoles();
  for (const auto& [flag, publicFirewall] :
       {std::pair{1, "EnableInternetFirewall"}, std::pair{0, "DisableInternetFirewall"}}) {
    profile.env.bICFFlag = flag;
    const std::vector<std::string> expected = {
        "CreateSharingManager", "EnumEveryConnection", "NewEnum",
        // Teardown of the wired connection, whose firewall is on.
        "Next", "ConnectionProps", "SharingConfiguration", "DisableSharing",
        "InternetFirewallEnabled", "DisableInternetFirewall",
        // Teardown of the wireless connection.
        "Next", "ConnectionProps", "SharingConfiguration", "DisableSharing",
        "InternetFirewallEnabled",
        // The end of the walk; the set-up pass starts over.
        "Next", "Reset",
        // The public wired connection.
        "Next", "ConnectionProps", "Guid", "SharingConfiguration", "EnableSharing(Public)",
        publicFirewall,
        // The private wireless connection, and the end of the walk.
        "Next", "ConnectionProps", "Guid", "SharingConfiguration", "DisableInternetFirewall",
        "EnableSharing(Private)", "Next"};
    EXPECT_EQ(LoggedRun(machine(), 1).calls, expected) << "bICFFlag " << flag;
  }
}

TEST_F(HostSetupTest, TeardownSwitchesEverythingOffWithoutLookingAtGuids) {
  Lan().sharing = SharingRole::Public;
  Lan().firewall = true;
  Wlan().sharing = SharingRole::Private;
  const ConnectionCallLog log = LoggedRun(machine(), 0);
  EXPECT_EQ(log.Count("Guid"), 0);
  EXPECT_EQ(log.Count("DisableInternetFirewall"), 1);  // only where it was on

  EXPECT_EQ(Setup(profile, 0), 16);
  for (const auto& c : machine().network_connections()) {
    EXPECT_EQ(c.sharing, SharingRole::None) << c.name;
    EXPECT_FALSE(c.firewall) << c.name;
  }
  EXPECT_EQ(LastProfile(machine()), std::nullopt);
}

TEST_F(HostSetupTest, NoConnections) {
  machine().network_connections().clear();
  EXPECT_EQ(Setup(profile, 0), 16);
  EXPECT_EQ(Setup(profile, 1), 17);
  EXPECT_EQ(LastProfile(machine()), std::nullopt);
}

TEST_F(HostSetupTest, MissingPrivateConnectionStopsAfterTheSwitches) {
  machine().SetString(sim::kHklm, kMachineWideKey, "SSID", "Cafe");
  profile.env.bDefaultPrinterFlag = 1;
  Put(profile.env.strPrinterName, "Inkjet");
  Put(profile.env.strPrivateDevGUID, "{00000000-0000-0000-0000-000000000000}");
  EXPECT_EQ(Setup(profile, 1), 17);
  EXPECT_EQ(Lan().sharing, SharingRole::Public);  // what was found is switched on
  EXPECT_EQ(Wlan().sharing, SharingRole::None);
  EXPECT_EQ(LastProfile(machine()), std::nullopt);
  EXPECT_EQ(machine().printers().defaultPrinter, "Laser");
  EXPECT_TRUE(machine().KeyExists(sim::kHklm, kMachineWideKey));
}

TEST_F(HostSetupTest, SameConnectionAsPublicAndPrivateIsPublicOnly) {
  Put(profile.env.strPrivateDevGUID, kWiredGuid);
  EXPECT_EQ(Setup(profile, 1), 17);
  EXPECT_EQ(Lan().sharing, SharingRole::Public);
  EXPECT_EQ(Wlan().sharing, SharingRole::None);
}

// Each flag counts as set when it is non-zero. Public sharing switches the public connection's
// firewall on by itself; without the firewall asked for, it is off again afterwards.
TEST_F(HostSetupTest, SetsUpTheHost) {
  for (const int flag : {1, 0, 2, -1}) {
    Use(SharingMachine());
    machine().SetString(sim::kHklm, kMachineWideKey, "SSID", "Cafe");
    profile = StoreSharingProfile(1);
    Wlan().firewall = true;
    profile.env.bICFFlag = flag;
    profile.env.bDefaultPrinterFlag = flag;
    Put(profile.env.strPrinterName, "Inkjet");
    profile.env.bPrivateWlan = flag;
    Put(profile.env.strWLANConnectionName, "Home");
    const bool set = flag != 0;

    EXPECT_EQ(Setup(profile, 1), 16) << flag;
    EXPECT_EQ(Lan().sharing, SharingRole::Public) << flag;
    EXPECT_EQ(Lan().firewall, set) << flag;
    EXPECT_EQ(Wlan().sharing, SharingRole::Private) << flag;
    EXPECT_FALSE(Wlan().firewall) << flag;
    EXPECT_EQ(LastProfile(machine()), std::to_string(profile.env.nProfileKey)) << flag;
    EXPECT_EQ(machine().printers().defaultPrinter, set ? "Inkjet" : "Laser") << flag;
    EXPECT_EQ(machine().GetString(sim::kHklm, kMachineWideKey, "SSID"),
              set ? std::optional<std::string>("Home") : std::nullopt)
        << flag;
    // The sharing service gave the wireless card its fixed private address.
    EXPECT_EQ(
        machine().GetValue(sim::kHklm, sim::TcpipInterfaceKey(kWirelessGuid), "IPAddress")->bytes,
        sim::RegValue::MultiString({"192.168.0.1"}).bytes);
  }
}

TEST_F(HostSetupTest, StepsAfterTheSwitches) {
  struct Case {
    const char* what;
    int refusedCalls;  // the registry calls after the switches, on the machine-wide key
    int privateWlan;
    bool storeRoot;
    int code;
  };
  const Case cases[] = {
      {"key not written", 2, 1, true, 24},  // neither opened nor created
      {"key not removed", 1, 0, true, 25},
      {"profile not recorded", 0, 0, false, 17},
  };
  const auto before = Copy(machine());
  for (const Case& c : cases) {
    Use(Copy(*before));
    machine().SetString(sim::kHklm, kMachineWideKey, "SSID", "Cafe");
    for (int i = 1; i <= c.refusedCalls; ++i) {
      machine().FailServiceCall(Service::Registry, machine().CallCount(Service::Registry) + i,
                                platform::kAccessDenied);
    }
    if (!c.storeRoot) machine().RemoveKeyTree(sim::kHkcu, kStoreRoot);
    Profile p = profile;
    p.env.bPrivateWlan = c.privateWlan;
    EXPECT_EQ(Setup(p, 1), c.code) << c.what;
    EXPECT_EQ(Wlan().sharing, SharingRole::Private) << c.what;  // nothing is rolled back
  }
}

// A limited user may not change the sharing: the first switch is refused, and nothing changes.
TEST_F(HostSetupTest, ALimitedUserChangesNothing) {
  SwappedRoles();
  machine().system_state().administrator = false;
  const std::string before = machine().ToJsonText();
  for (const int enable : {0, 1}) {
    Profile p = profile;
    EXPECT_EQ(Setup(p, enable), 11) << enable;
  }
  EXPECT_EQ(machine().ToJsonText(), before);
}

// A disabled sharing service cannot switch anything on: the set-up stops at the public
// connection, after the teardown switched everything off. A stopped one is started.
TEST_F(HostSetupTest, TheSharingServiceMustBeAbleToRun) {
  const auto before = Copy(machine());
  machine().sharing_service() = sim::SharingServiceState::Disabled;
  EXPECT_EQ(Setup(profile, 1), 13);
  EXPECT_EQ(Lan().sharing, SharingRole::None);
  EXPECT_EQ(Wlan().sharing, SharingRole::None);
  EXPECT_FALSE(LastProfile(machine()).has_value());
  EXPECT_EQ(Setup(profile, 0), 16);  // switching off needs no service

  Use(Copy(*before));
  machine().sharing_service() = sim::SharingServiceState::Stopped;
  EXPECT_EQ(Setup(profile, 1), 16);
  EXPECT_EQ(machine().sharing_service(), sim::SharingServiceState::Running);
  EXPECT_EQ(Lan().sharing, SharingRole::Public);
  EXPECT_EQ(Wlan().sharing, SharingRole::Private);
}

TEST_F(HostSetupTest, NullRecords) {
  machine().ResetCounts();
  EXPECT_EQ(CNetInfoManage().ICSServerSetup(nullptr, profile.adapters, 0), 15);
  EXPECT_EQ(CNetInfoManage().ICSServerSetup(&profile.env, nullptr, 1), 15);
  EXPECT_EQ(machine().CallCount(), 0u);
}

}  // namespace
}  // namespace nebrin::testing
