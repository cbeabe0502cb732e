#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "NebrinCoreDll.h"
#include "netstate/discovery_machines.h"
#include "support/sim_fixture.h"

namespace {

using nebrin::sim::AdapterSpec;
using nebrin::sim::kHklm;
using nebrin::sim::Machine;
using nebrin::sim::RegValue;
using nebrin::testing::Poison;
using nebrin::testing::Profile;
using nebrin::testing::Put;
using nebrin::testing::Text;
using nebrin::testing::WiredDhcp;
using nebrin::testing::WirelessStatic;

class DiscoveryTest : public nebrin::testing::SimTest {
 protected:
  int Capture() {
    CCommonFtn().InitStructure(&p.env, p.adapters);
    return CNetInfoRetrieve().IPRetrieve(&p.env, p.adapters);
  }
  Profile p;
};

TEST_F(DiscoveryTest, DemoMachineKeepsItsWiredAndWirelessAdapters) {
  Use(Machine::Demo());
  ASSERT_EQ(Capture(), 1);
  ASSERT_EQ(p.env.AdapterCount, 2);

  const AdapterInfoStr& wired = p.adapters[0];
  EXPECT_EQ(Text(wired.AdapterName), "{6E1B0F3A-2C4D-4E8F-9A10-3B5C7D9E1F20}");
  EXPECT_EQ(Text(wired.DhcpEnabled), "yes");
  EXPECT_EQ(Text(wired.IpAddressList), "192.168.1.34");
  EXPECT_EQ(Text(wired.SubnetMask), "255.255.255.0");
  EXPECT_EQ(Text(wired.GatewayList), "192.168.1.1");
  EXPECT_EQ(Text(wired.PrimaryDnsServer), "192.168.1.1");
  EXPECT_EQ(Text(wired.SecondaryDnsServer), "192.168.1.2");
  EXPECT_EQ(Text(wired.ConnectionName), "Local Area Connection");
  EXPECT_EQ(Text(wired.DeviceDesc), "Intel(R) PRO/100 VE Network Connection");
  EXPECT_EQ(Text(wired.MediaSubType), "line");
  EXPECT_EQ(Text(wired.Metric), "");

  const AdapterInfoStr& wireless = p.adapters[1];
  EXPECT_EQ(Text(wireless.DhcpEnabled), "no");
  EXPECT_EQ(Text(wireless.IpAddressList), "10.0.0.5");
  EXPECT_EQ(Text(wireless.SubnetMask), "255.255.255.0");
  EXPECT_EQ(Text(wireless.GatewayList), "10.0.0.1");
  EXPECT_EQ(Text(wireless.PrimaryDnsServer), "10.0.0.1");
  EXPECT_EQ(Text(wireless.SecondaryDnsServer), "10.0.0.2");
  EXPECT_EQ(Text(wireless.PrimaryWinsServer), "10.0.0.3");
  EXPECT_EQ(Text(wireless.SecondaryWinsServer), "");
  EXPECT_EQ(Text(wireless.Metric), "20");
  EXPECT_EQ(Text(wireless.MediaSubType), "air");
  EXPECT_EQ(Text(wireless.ConnectionName), "Wireless Network Connection");
}

TEST_F(DiscoveryTest, WritesOnlyAdapterCountOfTheProfileRecord) {
  Use(Machine::Demo());
  Poison(p);
  ASSERT_EQ(CNetInfoRetrieve().IPRetrieve(&p.env, p.adapters), 1);
  Profile untouched;
  Poison(untouched);
  untouched.env.AdapterCount = p.env.AdapterCount;
  EXPECT_EQ(std::memcmp(&untouched.env, &p.env, sizeof(EnvInfoStr)), 0);
  EXPECT_EQ(std::memcmp(&untouched.adapters[2], &p.adapters[2], sizeof(AdapterInfoStr)), 0);
}

TEST_F(DiscoveryTest, DropsSoftwareBluetoothAndOtherMediaAdapters) {
  AdapterSpec root = WiredDhcp(1);
  root.pnpInstanceId = "ROOT\\NET\\0000";
  AdapterSpec bluetooth = WiredDhcp(2);
  bluetooth.service = "BTWDNDIS";
  AdapterSpec otherMedia = WiredDhcp(3);
  otherMedia.mediaSubType = 3;
  for (const AdapterSpec& spec : {root, bluetooth, otherMedia}) machine().AddAdapter(spec);

  EXPECT_EQ(Capture(), 1);
  EXPECT_EQ(p.env.AdapterCount, 0);
}

TEST_F(DiscoveryTest, BluetoothServiceNameIsMatchedExactly) {
  AdapterSpec lower = WiredDhcp(1);
  lower.service = "btwdndis";
  machine().AddAdapter(lower);
  EXPECT_EQ(Capture(), 1);
  EXPECT_EQ(p.env.AdapterCount, 1);
}

TEST_F(DiscoveryTest, DhcpAdapterWithoutLeaseHasZeroMask) {
  AdapterSpec spec = WiredDhcp(1);
  spec.lease.reset();
  machine().AddAdapter(spec);
  machine().SetString(kHklm, nebrin::sim::TcpipInterfaceKey(spec.listed.guid), "DhcpSubnetMask",
                      "255.0.0.0");
  ASSERT_EQ(Capture(), 1);
  EXPECT_EQ(Text(p.adapters[0].IpAddressList), "0.0.0.0");
  EXPECT_EQ(Text(p.adapters[0].SubnetMask), "0.0.0.0");
}

TEST_F(DiscoveryTest, StaticAdapterRecordsFirstAddressAndZeroMetricWhenAbsent) {
  AdapterSpec spec = WirelessStatic(1);
  spec.ipAddresses = {"10.0.0.5", "10.0.0.6"};
  spec.subnetMasks = {"255.255.255.0", "255.255.0.0"};
  spec.metric.reset();
  machine().AddAdapter(spec);
  ASSERT_EQ(Capture(), 1);
  EXPECT_EQ(Text(p.adapters[0].IpAddressList), "10.0.0.5");
  EXPECT_EQ(Text(p.adapters[0].SubnetMask), "255.255.255.0");
  EXPECT_EQ(Text(p.adapters[0].Metric), "0");
}

TEST_F(DiscoveryTest, FieldsWithoutSourceKeepTheCallersContent) {
  AdapterSpec dhcp = WiredDhcp(1);
  dhcp.lease->nameServers = "";
  AdapterSpec manual = WirelessStatic(2);
  manual.nameServers = "";
  machine().AddAdapter(dhcp);
  machine().AddAdapter(manual);

  CCommonFtn().InitStructure(&p.env, p.adapters);
  for (AdapterInfoStr& a : p.adapters) {
    Put(a.Metric, "77");
    Put(a.PrimaryDnsServer, "1.1.1.1");
    Put(a.SecondaryDnsServer, "2.2.2.2");
  }
  ASSERT_EQ(CNetInfoRetrieve().IPRetrieve(&p.env, p.adapters), 1);
  EXPECT_EQ(Text(p.adapters[0].Metric), "77");  // DHCP adapters carry no metric
  EXPECT_EQ(Text(p.adapters[0].PrimaryDnsServer), "1.1.1.1");
  EXPECT_EQ(Text(p.adapters[1].SecondaryDnsServer), "2.2.2.2");
  EXPECT_EQ(Text(p.adapters[1].Metric), "20");
}

TEST_F(DiscoveryTest, AdapterWithoutConnectionKeyIsSkipped) {
  AdapterSpec first = WiredDhcp(1);
  machine().AddAdapter(first);
  machine().AddAdapter(WirelessStatic(2));
  machine().RemoveKeyTree(kHklm, nebrin::sim::ConnectionKey(first.listed.guid));
  ASSERT_EQ(Capture(), 1);
  ASSERT_EQ(p.env.AdapterCount, 1);
  EXPECT_EQ(Text(p.adapters[0].MediaSubType), "air");
}

TEST_F(DiscoveryTest, NoAdapterAtAllFailsAndLeavesTheCountAlone) {
  p.env.AdapterCount = 4;
  EXPECT_EQ(CNetInfoRetrieve().IPRetrieve(&p.env, p.adapters), 0);
  EXPECT_EQ(p.env.AdapterCount, 4);
}

// Each broken registry state of the second adapter ends the capture with 0, the first adapter
// complete.
TEST_F(DiscoveryTest, BrokenSecondAdapterFailsWithTheFirstComplete) {
  struct Case {
    const char* what;
    std::string key;  // below HKLM; empty: remove the whole key named by `value`
    std::string value;
  };
  const AdapterSpec second = WirelessStatic(2);
  const std::string tcpip = nebrin::sim::TcpipInterfaceKey(second.listed.guid);
  const std::string connection = nebrin::sim::ConnectionKey(second.listed.guid);
  const std::string device = nebrin::sim::EnumKey(second.pnpInstanceId);
  const Case cases[] = {
      {"no TCP/IP interface key", "", tcpip},
      {"no IPAddress", tcpip, "IPAddress"},
      {"no MediaSubType", connection, "MediaSubType"},
      {"no PnpInstanceID", connection, "PnpInstanceID"},
      {"no Name", connection, "Name"},
      {"no Enum key", "", device},
      {"no DeviceDesc", device, "DeviceDesc"},
  };
  for (const Case& c : cases) {
    auto m = std::make_shared<Machine>();
    m->AddAdapter(WiredDhcp(1));
    m->AddAdapter(second);
    if (c.key.empty()) {
      ASSERT_TRUE(m->RemoveKeyTree(kHklm, c.value)) << c.what;
    } else {
      ASSERT_TRUE(m->RemoveValue(kHklm, c.key, c.value)) << c.what;
    }
    Use(m);
    EXPECT_EQ(Capture(), 0) << c.what;
    EXPECT_EQ(p.env.AdapterCount, 1) << c.what;
    EXPECT_EQ(Text(p.adapters[0].MediaSubType), "line") << c.what;
    EXPECT_EQ(m->OpenHandles(), 0u) << c.what;
  }
}

TEST_F(DiscoveryTest, EleventhAdapterFailsTheCaptureWithoutWritingPastTheArray) {
  for (int i = 0; i < 11; ++i) machine().AddAdapter(WiredDhcp(i));
  struct {
    Profile profile;
    AdapterInfoStr beyond;
  } memory;
  Poison(memory.profile);
  std::memset(&memory.beyond, 0x33, sizeof(memory.beyond));
  CCommonFtn().InitStructure(&memory.profile.env, memory.profile.adapters);

  EXPECT_EQ(CNetInfoRetrieve().IPRetrieve(&memory.profile.env, memory.profile.adapters), 0);
  EXPECT_EQ(memory.profile.env.AdapterCount, 10);
  EXPECT_EQ(Text(memory.profile.adapters[9].ConnectionName), "Local Area Connection 9");
  AdapterInfoStr untouched;
  std::memset(&untouched, 0x33, sizeof(untouched));
  EXPECT_EQ(std::memcmp(&untouched, &memory.beyond, sizeof(untouched)), 0);
}

TEST_F(DiscoveryTest, OverLongValuesNeverPassTheirFields) {
  const std::string longText(120, 'n');
  AdapterSpec spec = WirelessStatic(1);
  spec.nameServers = std::string(60, '1') + ",10.0.0.2";  // first server longer than its field
  spec.deviceDesc = longText;                              // longer than the 100-unit buffer
  machine().AddAdapter(spec);
  AdapterSpec second = WirelessStatic(2);
  machine().AddAdapter(second);
  machine().SetValue(kHklm, nebrin::sim::TcpipInterfaceKey(second.listed.guid), "SubnetMask",
                     RegValue::MultiString({std::string(70, '2')}));

  EXPECT_EQ(Capture(), 0);  // the first adapter's description cannot be read whole
  ASSERT_EQ(p.env.AdapterCount, 0);
  EXPECT_EQ(Text(p.adapters[0].PrimaryDnsServer), std::string(49, '1'));
  EXPECT_EQ(Text(p.adapters[0].SecondaryDnsServer), "10.0.0.2");

  // A mask longer than its read buffer reads as missing.
  machine().SetString(kHklm, nebrin::sim::EnumKey(spec.pnpInstanceId), "DeviceDesc", "short");
  EXPECT_EQ(Capture(), 1);
  ASSERT_EQ(p.env.AdapterCount, 2);
  EXPECT_EQ(Text(p.adapters[1].SubnetMask), "");
}

TEST_F(DiscoveryTest, ReadsTextValuesWithoutTerminatorSafely) {
  AdapterSpec spec = WirelessStatic(1);
  machine().AddAdapter(spec);
  // "Name" stored as exactly 50 units with no terminator: no room left for one.
  RegValue raw;
  raw.type = nebrin::platform::RegType::String;
  raw.bytes.assign(100, 'A');
  machine().SetValue(kHklm, nebrin::sim::ConnectionKey(spec.listed.guid), "Name", raw);
  EXPECT_EQ(Capture(), 0);

  raw.bytes.assign(98, 0);
  for (std::size_t i = 0; i < raw.bytes.size(); i += 2) raw.bytes[i] = 'B';
  machine().SetValue(kHklm, nebrin::sim::ConnectionKey(spec.listed.guid), "Name", raw);
  EXPECT_EQ(Capture(), 1);
  EXPECT_EQ(Text(p.adapters[0].ConnectionName), std::string(49, 'B'));
}

}  // namespace
