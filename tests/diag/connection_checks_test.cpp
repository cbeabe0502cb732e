// The cable, enabled and gateway/DNS checks on one adapter record, on the simulated machine.
#include <gtest/gtest.h>

#include <string>

#include "NebrinCoreDll.h"
#include "support/sim_fixture.h"

namespace {

using nebrin::sim::Machine;
using nebrin::sim::SimConnection;
using nebrin::sim::SimHost;
using nebrin::testing::Profile;
using nebrin::testing::Put;

constexpr char kGuid[] = "{6E1B0F3A-2C4D-4E8F-9A10-3B5C7D9E1F20}";
constexpr char kOtherGuid[] = "{A3C5E7F9-1B2D-4F60-8A9C-0E1F2A3B4C5D}";

class ConnectionChecks : public nebrin::testing::SimTest {
 protected:
  // A profile whose adapter 1 is the one checked.
  Profile WithAdapter(const std::string& guid) {
    Profile p;
    CCommonFtn().InitStructure(&p.env, p.adapters);
    Put(p.adapters[1].AdapterName, guid);
    return p;
  }
  int Cable(Profile& p, int index = 1) {
    return CNetDiag().CheckOutCableConnection(&p.env, p.adapters, index);
  }
  int Enabled(Profile& p, int index = 1) {
    return CNetDiag().CheckOutHWEnableDisable(&p.env, p.adapters, index);
  }
};

TEST_F(ConnectionChecks, StatusTable) {
  struct Case {
    std::uint32_t status;
    int cable;
    int enabled;
  };
  // 0 disconnected (disabled), 1 connecting, 2 connected, 7 media disconnected (no cable).
  for (const Case c : {Case{0, 1, 0}, Case{1, 1, 1}, Case{2, 1, 1}, Case{7, 0, 1}}) {
    machine().network_connections() = {SimConnection{"Other", kOtherGuid, 7, ""},
                                       SimConnection{"LAN", kGuid, c.status, ""}};
    Profile p = WithAdapter(kGuid);
    EXPECT_EQ(Cable(p), c.cable) << "status " << c.status;
    EXPECT_EQ(Enabled(p), c.enabled) << "status " << c.status;
  }
}

TEST_F(ConnectionChecks, OnlyAnExactGuidMatches) {
  std::string lower = kGuid;
  for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  machine().network_connections() = {SimConnection{"LAN", lower, 2, ""}};
  Profile p = WithAdapter(kGuid);
  EXPECT_EQ(Cable(p), 0);
  EXPECT_EQ(Enabled(p), 0);
  // The first matching connection decides.
  machine().network_connections() = {SimConnection{"LAN", kGuid, 7, ""},
                                     SimConnection{"LAN again", kGuid, 2, ""}};
  EXPECT_EQ(Cable(p), 0);
}

TEST_F(ConnectionChecks, MissingConnectionOrManagerGivesZero) {
  machine().network_connections() = {SimConnection{"LAN", kOtherGuid, 2, ""}};
  Profile p = WithAdapter(kGuid);
  EXPECT_EQ(Cable(p), 0);
  EXPECT_EQ(Enabled(p), 0);
  machine().network_connections() = {SimConnection{"LAN", kGuid, 2, ""}};
  machine().ResetCounts();
  machine().FailServiceCall(nebrin::sim::Service::Connections, 1, 1062);  // service not started
  EXPECT_EQ(Cable(p), 0);
  EXPECT_EQ(Cable(p), 1);
  // An index outside the ten records reads nothing.
  EXPECT_EQ(Cable(p, -1), 0);
  EXPECT_EQ(Enabled(p, 10), 0);
}

// The lookup compares Guids up to the first match, reads that one connection's Status and stops:
// the manager, the collection and the enumerator, then Next, properties and Guid per element up
// to the match, then one Status read, whatever follows the match.
TEST_F(ConnectionChecks, LookupStopsAtTheFirstMatch) {
  Profile p = WithAdapter(kGuid);
  for (const std::size_t trailing : {0u, 3u}) {
    machine().network_connections() = {SimConnection{"Other", kOtherGuid, 2, ""},
                                       SimConnection{"LAN", kGuid, 7, ""}};
    for (std::size_t i = 0; i < trailing; ++i) {
      machine().network_connections().push_back(SimConnection{"Later", kOtherGuid, 0, ""});
    }
    machine().ResetCounts();
    EXPECT_EQ(Cable(p), 0);
    EXPECT_EQ(machine().CallCount(nebrin::sim::Service::Connections), 3u + 2u * 3u + 1u)
        << trailing << " connections after the match";
  }
  // Failing that one Status read fails the check.
  machine().ResetCounts();
  machine().FailServiceCall(nebrin::sim::Service::Connections, 10, 5);
  EXPECT_EQ(Enabled(p), 0);
}

// On a thread that the host put in the multithreaded apartment CoInitialize fails; the checks
// still work in the host's apartment and never uninitialise it.
TEST_F(ConnectionChecks, HostsMultithreadedApartmentIsLeftAlone) {
  machine().network_connections() = {SimConnection{"LAN", kGuid, 2, ""}};
  machine().set_thread_in_multithreaded_apartment(true);
  Profile p = WithAdapter(kGuid);
  EXPECT_EQ(Cable(p), 1);
  EXPECT_EQ(Enabled(p), 1);
  EXPECT_EQ(machine().ComApartmentDepth(), 0u);
  EXPECT_EQ(machine().ComMisuses(), 0u);
  // Without any apartment the sharing manager cannot be created.
  machine().set_thread_in_multithreaded_apartment(false);
  machine().FailServiceCall(nebrin::sim::Service::Com, 1, 5);
  machine().ResetCounts();
  EXPECT_EQ(Cable(p), 0);
  EXPECT_EQ(machine().ComMisuses(), 0u);
}

TEST_F(ConnectionChecks, GatewayAndDnsTable) {
  struct Case {
    std::string gatewayReplies;
    std::string dns;
    std::string dnsReplies;
    int result;
    std::size_t requests;
  };
  const Case cases[] = {
      {"-", "10.0.0.53", "+", 50, 12},
      {"+", "10.0.0.53", "-", 51, 12},
      {"-", "10.0.0.53", "-", 52, 12},
      {"+", "10.0.0.53", "+", 53, 12},
      // Without a DNS server only the gateway is asked.
      {"+", "", "+", 51, 6},
      {"-", "", "+", 52, 6},
      {"+", "0.0.0.0", "+", 51, 6},
      {"-", "0.0.0.0", "+", 52, 6},
      // Three silent attempts of six still pass.
      {"+-+-+-", "10.0.0.53", "---+++", 53, 12},
  };
  for (const Case& c : cases) {
    Use(std::make_shared<Machine>());
    machine().network().hosts = {SimHost{"10.0.0.1", {}, c.gatewayReplies},
                                 SimHost{"10.0.0.53", {}, c.dnsReplies},
                                 SimHost{"0.0.0.0", {}, c.dnsReplies}};
    Profile p = WithAdapter(kGuid);
    Put(p.adapters[1].GatewayList, "10.0.0.1");
    Put(p.adapters[1].PrimaryDnsServer, c.dns);
    EXPECT_EQ(CNetDiag().CheckOutNetConnectStatus(&p.env, p.adapters, 1), c.result)
        << c.gatewayReplies << " " << c.dns << " " << c.dnsReplies;
    EXPECT_EQ(machine().EchoRequestsSent().size(), c.requests);
  }
}

TEST_F(ConnectionChecks, EmptyGatewayIsStillPassedToTheEchoTest) {
  machine().network().hosts = {SimHost{"10.0.0.53", {}, "+"}};
  Profile p = WithAdapter(kGuid);
  Put(p.adapters[1].PrimaryDnsServer, "10.0.0.53");
  EXPECT_EQ(CNetDiag().CheckOutNetConnectStatus(&p.env, p.adapters, 1), 50);
  EXPECT_EQ(machine().EchoRequestsSent().size(), 6u);
  // The first Winsock start-up belongs to the gateway's echo test: failing it leaves the DNS
  // server's test untouched.
  machine().FailServiceCall(nebrin::sim::Service::Sockets, 1, 10091);
  machine().ResetCounts();
  EXPECT_EQ(CNetDiag().CheckOutNetConnectStatus(&p.env, p.adapters, 1), 50);
}

TEST_F(ConnectionChecks, DemoMachine) {
  Use(Machine::Demo());
  Profile p;
  CCommonFtn().InitStructure(&p.env, p.adapters);
  ASSERT_EQ(CNetInfoRetrieve().IPRetrieve(&p.env, p.adapters), 1);
  ASSERT_EQ(p.env.AdapterCount, 2);
  CNetDiag diag;
  EXPECT_EQ(diag.CheckOutCableConnection(&p.env, p.adapters, 0), 1);
  EXPECT_EQ(diag.CheckOutHWEnableDisable(&p.env, p.adapters, 0), 1);
  EXPECT_EQ(diag.CheckOutNetConnectStatus(&p.env, p.adapters, 0), 53);
  EXPECT_EQ(diag.CheckOutCableConnection(&p.env, p.adapters, 1), 0);
  EXPECT_EQ(diag.CheckOutHWEnableDisable(&p.env, p.adapters, 1), 1);
  EXPECT_EQ(diag.CheckOutNetConnectStatus(&p.env, p.adapters, 1), 52);
}

}  // namespace
