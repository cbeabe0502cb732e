// Sharing host set-up on simulated machines: the teardown and set-up passes over the connections,
// each result code produced by failing the step that yields it, and the steps after the switches.
#include <gtest/gtest.h>

#include <optional>
#include <string>

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
  const ConnectionCallLog log = LoggedRun(*before, 1);
  struct Case {
    std::string step;
    int occurrence;
    int code;
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
    const std::uint64_t n = log.Number(c.step, c.occurrence);
    ASSERT_NE(n, 0u) << c.step << " #" << c.occurrence << " is not made";
    Use(Copy(*before));
    machine().FailServiceCall(Service::Connections, n, platform::kAccessDenied);
    Profile p = profile;
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

TEST_F(HostSetupTest, SetsUpTheHost) {
  for (const int firewall : {1, 0}) {
    Use(SharingMachine());
    profile = StoreSharingProfile(1);
    Wlan().firewall = true;
    profile.env.bICFFlag = firewall;
    profile.env.bDefaultPrinterFlag = 1;
    Put(profile.env.strPrinterName, "Inkjet");
    profile.env.bPrivateWlan = 1;
    Put(profile.env.strWLANConnectionName, "Home");

    EXPECT_EQ(Setup(profile, 1), 16);
    EXPECT_EQ(Lan().sharing, SharingRole::Public);
    EXPECT_EQ(Lan().firewall, firewall == 1);
    EXPECT_EQ(Wlan().sharing, SharingRole::Private);
    EXPECT_FALSE(Wlan().firewall);
    EXPECT_EQ(LastProfile(machine()), std::to_string(profile.env.nProfileKey));
    EXPECT_EQ(machine().printers().defaultPrinter, "Inkjet");
    EXPECT_EQ(machine().GetString(sim::kHklm, kMachineWideKey, "SSID"), "Home");
    // The sharing service gave the wireless card its fixed private address.
    EXPECT_EQ(
        machine().GetValue(sim::kHklm, sim::TcpipInterfaceKey(kWirelessGuid), "IPAddress")->bytes,
        sim::RegValue::MultiString({"192.168.0.1"}).bytes);
  }
}

TEST_F(HostSetupTest, StepsAfterTheSwitches) {
  struct Case {
    const char* what;
    bool administrator;
    int privateWlan;
    bool storeRoot;
    int code;
  };
  // Without administrative rights the machine-wide key can be neither written nor removed.
  const Case cases[] = {
      {"key not written", false, 1, true, 24},
      {"key not removed", false, 0, true, 25},
      {"profile not recorded", true, 0, false, 17},
  };
  const auto before = Copy(machine());
  for (const Case& c : cases) {
    Use(Copy(*before));
    machine().SetString(sim::kHklm, kMachineWideKey, "SSID", "Cafe");
    machine().system_state().administrator = c.administrator;
    if (!c.storeRoot) machine().RemoveKeyTree(sim::kHkcu, kStoreRoot);
    Profile p = profile;
    p.env.bPrivateWlan = c.privateWlan;
    EXPECT_EQ(Setup(p, 1), c.code) << c.what;
    EXPECT_EQ(Wlan().sharing, SharingRole::Private) << c.what;  // nothing is rolled back
  }
}

TEST_F(HostSetupTest, NullRecords) {
  machine().ResetCounts();
  EXPECT_EQ(CNetInfoManage().ICSServerSetup(nullptr, profile.adapters, 0), 15);
  EXPECT_EQ(CNetInfoManage().ICSServerSetup(&profile.env, nullptr, 1), 15);
  EXPECT_EQ(machine().CallCount(), 0u);
}

}  // namespace
}  // namespace nebrin::testing
