// The firewall switch on simulated machines: the public connection's firewall follows the profile,
// other connections and sharing stay as they are, and the failures give 15 or 0.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "sharing/connection_calls.h"
#include "sharing/sharing_machines.h"

namespace nebrin::testing {
namespace {

using sim::Service;
using sim::SharingRole;

class FirewallSwitchTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    Use(SharingMachine());
    profile = StoreSharingProfile(1);
    machine().network_connections()[0].sharing = SharingRole::Public;
    machine().network_connections()[1].firewall = true;
  }
  int Switch() { return CNetInfoManage().SetICF(&profile.env); }
  bool Firewall(std::size_t i) { return machine().network_connections()[i].firewall; }

  Profile profile;
};

// The flag counts as set when it is non-zero.
TEST_F(FirewallSwitchTest, FollowsTheProfile) {
  for (const int flag : {1, 0, 2, 0, -1}) {
    profile.env.bICFFlag = flag;
    EXPECT_EQ(Switch(), 1) << flag;
    EXPECT_EQ(Firewall(0), flag != 0) << flag;
  }
  // The other connection and the sharing roles are untouched.
  EXPECT_TRUE(Firewall(1));
  EXPECT_EQ(machine().network_connections()[0].sharing, SharingRole::Public);
  EXPECT_EQ(machine().network_connections()[1].sharing, SharingRole::None);
}

// The profile's sharing role is not looked at: a profile without sharing still switches the
// connection its public GUID names.
TEST_F(FirewallSwitchTest, IgnoresTheSharingRole) {
  profile.env.nICSFlag = 0;
  profile.env.bICFFlag = 1;
  EXPECT_EQ(Switch(), 1);
  EXPECT_TRUE(Firewall(0));
}

TEST_F(FirewallSwitchTest, NoPublicConnectionChangesNothing) {
  for (const char* guid : {"", "{00000000-0000-0000-0000-000000000000}"}) {
    Put(profile.env.strPublicDevGUID, guid);
    profile.env.bICFFlag = 0;
    EXPECT_EQ(Switch(), 1) << guid;
    EXPECT_TRUE(Firewall(1));
  }
  machine().network_connections().clear();
  EXPECT_EQ(Switch(), 1);
}

TEST_F(FirewallSwitchTest, FailuresGive15Or0) {
  // The public connection's firewall starts the other way round from what the profile asks.
  std::vector<std::shared_ptr<sim::Machine>> before;  // by the flag
  std::vector<ConnectionCallLog> logs;
  for (const int flag : {0, 1}) {
    machine().network_connections()[0].firewall = flag == 0;
    before.push_back(Copy(machine()));
    profile.env.bICFFlag = flag;
    logs.push_back(LogCalls(*before.back(), [&] { EXPECT_EQ(Switch(), 1); }));
  }
  struct Case {
    std::string step;
    int occurrence;
    int result;
    bool switched;  // the public connection's firewall is as the profile asks afterwards
    int flag = 1;
  };
  const Case cases[] = {
      {"CreateSharingManager", 1, 15, false},
      {"ConnectionProps", 1, 15, false},
      // The walk goes on past the public connection.
      {"ConnectionProps", 2, 15, true},
      {"SharingConfiguration", 1, 15, false},
      {"EnableInternetFirewall", 1, 0, false},
      {"DisableInternetFirewall", 1, 0, false, 0},
      {"EnumEveryConnection", 1, 1, false},
      {"NewEnum", 1, 1, false},
  };
  for (const Case& c : cases) {
    const std::uint64_t n = logs[c.flag].Number(c.step, c.occurrence);
    ASSERT_NE(n, 0u) << c.step;
    Use(Copy(*before[c.flag]));
    machine().FailServiceCall(Service::Connections, n, platform::kAccessDenied);
    profile.env.bICFFlag = c.flag;
    EXPECT_EQ(Switch(), c.result) << c.step << " #" << c.occurrence;
    EXPECT_EQ(Firewall(0), c.switched == (c.flag != 0)) << c.step << " #" << c.occurrence;
    EXPECT_EQ(machine().OpenHandles(), 0u) << c.step;
  }
  EXPECT_EQ(CNetInfoManage().SetICF(nullptr), 15);
}

// What the machine refuses: a limited user either switch, a disabled sharing service the switch
// on (the switch off needs no service).
TEST_F(FirewallSwitchTest, RefusedSwitchesGive0) {
  struct Case {
    const char* what;
    bool administrator;
    sim::SharingServiceState service;
    int flag;
    int result;
  };
  const Case cases[] = {
      {"limited user, on", false, sim::SharingServiceState::Running, 1, 0},
      {"limited user, off", false, sim::SharingServiceState::Running, 0, 0},
      {"service disabled, on", true, sim::SharingServiceState::Disabled, 1, 0},
      {"service disabled, off", true, sim::SharingServiceState::Disabled, 0, 1},
      {"service stopped, on", true, sim::SharingServiceState::Stopped, 1, 1},
  };
  const auto before = Copy(machine());
  for (const Case& c : cases) {
    Use(Copy(*before));
    machine().network_connections()[0].firewall = c.flag == 0;
    machine().system_state().administrator = c.administrator;
    machine().sharing_service() = c.service;
    profile.env.bICFFlag = c.flag;
    EXPECT_EQ(Switch(), c.result) << c.what;
    EXPECT_EQ(Firewall(0), (c.result == 1) == (c.flag != 0)) << c.what;
  }
}

}  // namespace
}  // namespace nebrin::testing
