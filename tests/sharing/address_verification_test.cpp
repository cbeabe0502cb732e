// Address verification after a sharing change, on simulated machines: the host's private adapter
// recorded as sharing left it, differences of the other adapters, confirmation of the host's
// adapters and of the client's private adapter on DHCP.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "NebrinCoreDll.h"
#include "sharing/sharing_machines.h"

namespace nebrin::testing {
namespace {

using sim::RegValue;

class VerificationTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    Use(SharingMachine());
    profile = StoreSharingProfile(1);
  }
  int Changed() { return CNetInfoManage().CheckServerIPChange(&profile.env, profile.adapters); }
  int Confirmed() {
    return CNetInfoManage().CheckServerIPChangeResult(&profile.env, profile.adapters);
  }
  int ClientOnDhcp() {
    return CNetInfoManage().CheckClientIPChange(&profile.env, profile.adapters);
  }
  // Switches sharing on as the host set-up does: the wireless card takes 192.168.0.1.
  void ShareConnections() {
    Profile copy = profile;
    ASSERT_EQ(CNetInfoManage().ICSServerSetup(&copy.env, copy.adapters, 1), 16);
  }
  Profile Stored() {
    Profile p;
    CCommonFtn().InitStructure(&p.env, p.adapters);
    EXPECT_EQ(CNetInfoRetrieve().GetInfoFromRegistry(profile.env.nProfileKey, &p.env, p.adapters),
              1);
    return p;
  }
  std::string WirelessKey() { return sim::TcpipInterfaceKey(kWirelessGuid); }

  Profile profile;
};

void ExpectSharingAddress(const AdapterInfoStr& a) {
  EXPECT_EQ(Text(a.IpAddressList), "192.168.0.1");
  EXPECT_EQ(Text(a.SubnetMask), "255.255.255.0");
  EXPECT_EQ(Text(a.DhcpEnabled), "no");
  EXPECT_EQ(Text(a.Metric), "0");
  for (const auto* empty : {a.GatewayList, a.PrimaryDnsServer, a.SecondaryDnsServer,
                            a.PrimaryWinsServer, a.SecondaryWinsServer}) {
    EXPECT_EQ(empty[0], 0);
  }
}

TEST_F(VerificationTest, RecordsThePrivateAdapterAsSharingLeftIt) {
  const AdapterInfoStr wired = profile.adapters[0];
  ShareConnections();
  EXPECT_EQ(Changed(), 0);  // the wired adapter still runs as the profile says
  ExpectSharingAddress(profile.adapters[1]);
  EXPECT_EQ(Text(profile.adapters[1].AdapterName), kWirelessGuid);
  EXPECT_EQ(std::memcmp(&profile.adapters[0], &wired, sizeof wired), 0);
  const Profile stored = Stored();
  ExpectSharingAddress(stored.adapters[1]);
  EXPECT_EQ(Text(stored.adapters[0].IpAddressList), Text(wired.IpAddressList));
}

TEST_F(VerificationTest, OtherAdaptersAreComparedFieldByField) {
  struct Case {
    const char* field;
    void (*change)(AdapterInfoStr&);
    int changed;
  };
  const Case cases[] = {
      {"PrimaryDnsServer", [](AdapterInfoStr& a) { Put(a.PrimaryDnsServer, "192.168.7.9"); }, 1},
      {"SecondaryDnsServer", [](AdapterInfoStr& a) { Put(a.SecondaryDnsServer, ""); }, 1},
      {"GatewayList", [](AdapterInfoStr& a) { Put(a.GatewayList, "192.168.7.254"); }, 1},
      {"IpAddressList", [](AdapterInfoStr& a) { Put(a.IpAddressList, "192.168.7.21"); }, 1},
      {"SubnetMask", [](AdapterInfoStr& a) { Put(a.SubnetMask, "255.255.0.0"); }, 1},
      {"PrimaryWinsServer", [](AdapterInfoStr& a) { Put(a.PrimaryWinsServer, ""); }, 1},
      {"SecondaryWinsServer", [](AdapterInfoStr& a) { Put(a.SecondaryWinsServer, "1.1.1.1"); }, 1},
      {"DhcpEnabled", [](AdapterInfoStr& a) { Put(a.DhcpEnabled, "no"); }, 1},
      {"Metric", [](AdapterInfoStr& a) { Put(a.Metric, "99"); }, 0},
      {"ConnectionName", [](AdapterInfoStr& a) { Put(a.ConnectionName, "Other"); }, 0},
  };
  const Profile original = profile;
  for (const Case& c : cases) {
    profile = original;
    c.change(profile.adapters[0]);
    EXPECT_EQ(Changed(), c.changed) << c.field;
  }
}

// The profile lists the adapters in another order than the system: each live adapter is paired
// with the entry of its own name, and the private adapter's own entry is the one rewritten.
TEST_F(VerificationTest, ReorderedAdaptersArePairedByName) {
  std::swap(profile.adapters[0], profile.adapters[1]);
  ASSERT_EQ(CNetInfoManage().SaveProfileInfoToRegistry(&profile.env, profile.adapters, 0), 1);
  const AdapterInfoStr wired = profile.adapters[1];
  ShareConnections();
  EXPECT_EQ(Changed(), 0);
  ExpectSharingAddress(profile.adapters[0]);
  EXPECT_EQ(Text(profile.adapters[0].AdapterName), kWirelessGuid);
  EXPECT_EQ(std::memcmp(&profile.adapters[1], &wired, sizeof wired), 0);
  const Profile stored = Stored();
  ExpectSharingAddress(stored.adapters[0]);
  EXPECT_EQ(Text(stored.adapters[1].AdapterName), kWiredGuid);
  EXPECT_EQ(Text(stored.adapters[1].IpAddressList), Text(wired.IpAddressList));
}

TEST_F(VerificationTest, ConfirmsTheHostsAdapters) {
  // The private adapter counts without a look: its live address is not the profile's.
  machine().SetValue(sim::kHklm, WirelessKey(), "IPAddress",
                     RegValue::MultiString({"192.168.0.1"}));
  EXPECT_EQ(Confirmed(), 1);

  // A profile adapter that is gone counts neither as expected nor as matched.
  Profile withGone = profile;
  withGone.adapters[2] = withGone.adapters[0];
  Put(withGone.adapters[2].AdapterName, "{22222222-0000-0000-0000-000000000000}");
  withGone.env.AdapterCount = 3;
  ASSERT_EQ(CNetInfoManage().SaveProfileInfoToRegistry(&withGone.env, withGone.adapters, 0), 1);
  EXPECT_EQ(CNetInfoManage().CheckServerIPChangeResult(&withGone.env, withGone.adapters), 1);

  // A fixed address is confirmed by the first address of the adapter's "IPAddress".
  const std::string wiredKey = sim::TcpipInterfaceKey(kWiredGuid);
  machine().SetDword(sim::kHklm, wiredKey, "EnableDHCP", 0);
  machine().SetValue(sim::kHklm, wiredKey, "IPAddress",
                     RegValue::MultiString({"192.168.7.50", "192.168.7.51"}));
  machine().SetValue(sim::kHklm, wiredKey, "SubnetMask",
                     RegValue::MultiString({"255.255.255.0", "255.255.255.0"}));
  Put(profile.adapters[0].DhcpEnabled, "no");
  for (const auto& [address, confirmed] :
       {std::pair{"192.168.7.50", 1}, std::pair{"192.168.7.51", 0}}) {
    Put(profile.adapters[0].IpAddressList, address);
    EXPECT_EQ(Confirmed(), confirmed) << address;
  }
}

// The network shell still running is waited for; a profile none of whose adapters is present is
// not confirmed, even when its private adapter is none of them either.
TEST_F(VerificationTest, HostCheckWaitsAndNeedsAnAdapterPresent) {
  machine().process_state().table.push_back({900, "netsh.exe", true, 3u, std::nullopt});
  EXPECT_EQ(Confirmed(), 1);
  EXPECT_TRUE(machine().process_state().table.empty());

  Put(profile.env.strPrivateDevGUID, "{33333333-0000-0000-0000-000000000000}");
  machine().listed_adapters().clear();
  EXPECT_EQ(Confirmed(), 0);
}

TEST_F(VerificationTest, MissingPrivateAdapterIsNotConfirmed) {
  auto& listed = machine().listed_adapters();
  listed.erase(listed.begin() + 1);
  EXPECT_EQ(Confirmed(), 0);
  // Not even when another adapter is unconfirmed: the two do not cancel out.
  Put(profile.adapters[0].DhcpEnabled, "no");
  Put(profile.adapters[0].IpAddressList, "192.168.7.99");
  EXPECT_EQ(Confirmed(), 0);
  // Nor is anything when the adapter list cannot be read.
  Use(SharingMachine());
  profile = StoreSharingProfile(1);
  machine().ResetCounts();
  machine().FailServiceCall(sim::Service::AdapterList, 1, platform::kNotSupported);
  EXPECT_EQ(Confirmed(), 0);
}

TEST_F(VerificationTest, ClientsPrivateAdapterOnDhcp) {
  // A network shell still running is waited for.
  machine().process_state().table.push_back({900, "netsh.exe", true, 3u, std::nullopt});
  machine().SetDword(sim::kHklm, WirelessKey(), "EnableDHCP", 1);
  EXPECT_EQ(ClientOnDhcp(), 1);
  EXPECT_TRUE(machine().process_state().table.empty());
  EXPECT_TRUE(machine().messages_shown().empty());

  // A fixed address, or no such adapter at all: the user is told, and the answer is 0.
  machine().SetDword(sim::kHklm, WirelessKey(), "EnableDHCP", 0);
  EXPECT_EQ(ClientOnDhcp(), 0);
  Put(profile.env.strPrivateDevGUID, "{33333333-0000-0000-0000-000000000000}");
  EXPECT_EQ(ClientOnDhcp(), 0);
  ASSERT_EQ(machine().messages_shown().size(), 2u);
  for (const auto& shown : machine().messages_shown()) {
    EXPECT_EQ(shown.text, "No DHCP is added");
    EXPECT_EQ(shown.caption, "Class CheckClientIPChange");
    EXPECT_EQ(shown.type, 0u);  // MB_OK
  }

  // An adapter list that cannot be read answers 0 without a box.
  machine().ResetCounts();
  machine().FailServiceCall(sim::Service::AdapterList, 1, platform::kNotSupported);
  EXPECT_EQ(ClientOnDhcp(), 0);
  EXPECT_EQ(machine().messages_shown().size(), 2u);
}

}  // namespace
}  // namespace nebrin::testing
