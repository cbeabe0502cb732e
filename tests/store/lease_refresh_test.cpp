#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "store/store_fixture.h"

namespace {

using namespace nebrin::testing;
using nebrin::sim::kHkcu;
using nebrin::sim::kHklm;
using nebrin::sim::Machine;

// The demo machine's wired adapter stored as adapter 0 of profile 0, with old addresses.
class LeaseRefreshTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    Use(Machine::Demo());
    p = OfficeProfile();
    AdapterInfoStr& wired = p.adapters[0];
    Put(wired.IpAddressList, "172.16.0.9");
    Put(wired.SubnetMask, "255.255.0.0");
    Put(wired.GatewayList, "172.16.0.1");
    Put(wired.PrimaryDnsServer, "172.16.0.1");
    Put(wired.SecondaryDnsServer, "");
    Put(wired.PrimaryWinsServer, "172.16.0.2");
    ASSERT_EQ(manage.SaveProfileInfoToRegistry(&p.env, p.adapters, 1), 1);
  }
  std::string Stored(const char* name) { return Value(AdapterPath(0, 0), name); }
  std::string Tcpip() { return nebrin::sim::TcpipInterfaceKey(kWiredGuid); }
  Profile p;
};

struct Refresh {
  std::string address, mask, gateway, dns1, dns2, wins1;
};

TEST_F(LeaseRefreshTest, AdapterTakesItsCurrentLeaseIntoRecordAndStore) {
  struct Case {
    const char* name;
    std::function<void(Machine&, const std::string& tcpip)> change;
    int result;
    Refresh record;
    bool storeRefreshed;
  };
  const Refresh old{"172.16.0.9", "255.255.0.0", "172.16.0.1", "172.16.0.1", "", "172.16.0.2"};
  const Refresh lease{"192.168.1.34", "255.255.255.0", "192.168.1.1",
                      "192.168.1.1",  "192.168.1.2",   ""};
  const Case cases[] = {
      {"lease", [](Machine&, const std::string&) {}, 1, lease, true},
      {"no lease",
       [](Machine& m, const std::string& tcpip) { m.RemoveValue(kHklm, tcpip, "DhcpIPAddress"); },
       1,
       {"0.0.0.0", "0.0.0.0", "192.168.1.1", "0.0.0.0", "0.0.0.0", ""},
       true},
      {"no DhcpNameServer",
       [](Machine& m, const std::string& tcpip) { m.RemoveValue(kHklm, tcpip, "DhcpNameServer"); },
       1,
       {"192.168.1.34", "255.255.255.0", "192.168.1.1", "0.0.0.0", "0.0.0.0", ""},
       true},
      {"unreadable mask",
       [](Machine& m, const std::string& tcpip) { m.RemoveValue(kHklm, tcpip, "DhcpSubnetMask"); },
       0,
       {"192.168.1.34", "255.255.0.0", "192.168.1.1", "172.16.0.1", "", ""},
       false},
      {"mask longer than the field",
       [](Machine& m, const std::string& tcpip) {
         m.SetString(kHklm, tcpip, "DhcpSubnetMask", std::string(55, '5'));
       },
       0,
       {"192.168.1.34", "255.255.0.0", "192.168.1.1", "172.16.0.1", "", ""},
       false},
      {"adapter gone",
       [](Machine& m, const std::string&) {
         m.listed_adapters().erase(m.listed_adapters().begin());
       },
       1, old, false},
      {"no adapters at all", [](Machine& m, const std::string&) { m.listed_adapters().clear(); }, 0,
       old, false},
  };
  for (const Case& c : cases) {
    SetUp();
    c.change(machine(), Tcpip());
    EXPECT_EQ(manage.GetDHCPIP(0, 0, p.adapters), c.result) << c.name;
    const AdapterInfoStr& a = p.adapters[0];
    EXPECT_EQ(Text(a.IpAddressList), c.record.address) << c.name;
    EXPECT_EQ(Text(a.SubnetMask), c.record.mask) << c.name;
    EXPECT_EQ(Text(a.GatewayList), c.record.gateway) << c.name;
    EXPECT_EQ(Text(a.PrimaryDnsServer), c.record.dns1) << c.name;
    EXPECT_EQ(Text(a.SecondaryDnsServer), c.record.dns2) << c.name;
    EXPECT_EQ(Text(a.PrimaryWinsServer), c.record.wins1) << c.name;
    const Refresh& stored = c.storeRefreshed ? c.record : old;
    EXPECT_EQ(Stored("IpAddressList"), stored.address) << c.name;
    EXPECT_EQ(Stored("SubnetMask"), stored.mask) << c.name;
    EXPECT_EQ(Stored("GatewayList"), stored.gateway) << c.name;
    EXPECT_EQ(Stored("PrimaryDnsServer"), stored.dns1) << c.name;
    EXPECT_EQ(Stored("SecondaryDnsServer"), stored.dns2) << c.name;
    EXPECT_EQ(Stored("PrimaryWinsServer"), stored.wins1) << c.name;
    TearDown();
  }
}

TEST_F(LeaseRefreshTest, StoreKeyThatDoesNotOpenIsNotReported) {
  EXPECT_EQ(manage.GetDHCPIP(0, 7, p.adapters), 1);
  EXPECT_EQ(Text(p.adapters[0].IpAddressList), "192.168.1.34");
  EXPECT_FALSE(machine().KeyExists(kHkcu, ProfilePath(7)));
  EXPECT_EQ(manage.GetDHCPIP(10, 0, p.adapters), 0);
}

// Loading a DHCP adapter reads none of its stored addresses: they come from the lease.
TEST_F(LeaseRefreshTest, LoadingRefreshesDhcpAdapters) {
  machine().RemoveValue(kHkcu, AdapterPath(0, 0), "IpAddressList");
  machine().RemoveValue(kHkcu, AdapterPath(0, 0), "SubnetMask");
  Profile loaded;
  CCommonFtn().InitStructure(&loaded.env, loaded.adapters);
  ASSERT_EQ(retrieve.GetInfoFromRegistry(0, &loaded.env, loaded.adapters), 1);
  EXPECT_EQ(Text(loaded.adapters[0].IpAddressList), "192.168.1.34");
  EXPECT_EQ(Text(loaded.adapters[0].SecondaryDnsServer), "192.168.1.2");
  EXPECT_EQ(Stored("IpAddressList"), "192.168.1.34");
  EXPECT_EQ(Stored("SubnetMask"), "255.255.255.0");

  // A failed refresh does not fail the load.
  machine().RemoveValue(kHklm, Tcpip(), "DhcpSubnetMask");
  CCommonFtn().InitStructure(&loaded.env, loaded.adapters);
  EXPECT_EQ(retrieve.GetInfoFromRegistry(0, &loaded.env, loaded.adapters), 1);
}

// Another writer changes the adapter key between the load's read of "DhcpEnabled" and the
// refresh's taking of the mutex: the refresh writes only while the key is still that DHCP
// adapter, and the load answers as it read.
TEST_F(LeaseRefreshTest, RefreshLeavesAnAdapterChangedBeforeItTookTheMutex) {
  struct Case {
    const char* name;
    std::function<void(Machine&)> change;
    const char* storedAddress;
    int loaded = 1;  // a key deleted under the load fails its later reads
  };
  const Case cases[] = {
      {"unchanged", [](Machine&) {}, "192.168.1.34"},
      {"edited to static",
       [](Machine& m) {
         m.SetString(kHkcu, AdapterPath(0, 0), "DhcpEnabled", "no");
         m.SetString(kHkcu, AdapterPath(0, 0), "IpAddressList", "10.9.9.9");
       },
       "10.9.9.9"},
      {"number taken by a profile of another adapter",
       [](Machine& m) { m.SetString(kHkcu, AdapterPath(0, 0), "AdapterName", kWirelessGuid); },
       "172.16.0.9"},
      {"adapter key gone", [](Machine& m) { m.RemoveKeyTree(kHkcu, AdapterPath(0, 0)); }, nullptr,
       0},
  };
  for (const Case& c : cases) {
    SetUp();
    int taken = 0;
    machine().mutex_state().takenObserver = [&](const std::string&) {
      if (taken++ == 0) c.change(machine());
    };
    Profile loaded;
    CCommonFtn().InitStructure(&loaded.env, loaded.adapters);
    EXPECT_EQ(retrieve.GetInfoFromRegistry(0, &loaded.env, loaded.adapters), c.loaded) << c.name;
    EXPECT_EQ(Text(loaded.adapters[0].IpAddressList), "192.168.1.34") << c.name;
    EXPECT_EQ(taken, 1) << c.name;
    if (c.storedAddress != nullptr) {
      EXPECT_EQ(Stored("IpAddressList"), c.storedAddress) << c.name;
      EXPECT_EQ(Stored("SubnetMask"),
                std::string(c.storedAddress) == "192.168.1.34" ? "255.255.255.0" : "255.255.0.0")
          << c.name;
    } else {
      EXPECT_FALSE(machine().KeyExists(kHkcu, AdapterPath(0, 0))) << c.name;
    }
    machine().mutex_state().takenObserver = nullptr;
    TearDown();
  }
}

}  // namespace
