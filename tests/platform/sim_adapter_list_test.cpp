// The simulated adapter list: sizes and codes of GetAdaptersInfo, entries read from the adapters'
// TCP/IP keys, and the keys AddAdapter writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/machine.h"

namespace nebrin::sim {
namespace {

using platform::AdapterListEntry;
using platform::kBufferOverflow;
using platform::kNoData;
using platform::kSuccess;

std::vector<AdapterListEntry> FillAll(Machine& machine) {
  std::uint32_t bytes = 0;
  EXPECT_EQ(machine.adapters().QuerySize(bytes), kBufferOverflow);
  std::vector<AdapterListEntry> entries;
  EXPECT_EQ(machine.adapters().Fill(bytes, entries), kSuccess);
  return entries;
}

AdapterSpec StaticSpec() {
  AdapterSpec spec;
  spec.listed = {"{11111111-2222-3333-4444-555555555555}", "Test NIC", 7, 6, "", ""};
  spec.connectionName = "Test Connection";
  spec.pnpInstanceId = "PCI\\VEN_1\\1";
  spec.service = "TESTNIC";
  spec.deviceDesc = "Test NIC device";
  spec.ipAddresses = {"172.16.0.9", "172.16.0.10"};
  spec.subnetMasks = {"255.255.0.0", "255.255.0.0"};
  spec.gateways = {"172.16.0.1"};
  spec.nameServers = "172.16.0.2";
  return spec;
}

TEST(SimAdapterListTest, EmptyListAnswersNoData) {
  Machine machine;
  std::uint32_t bytes = 99;
  std::vector<AdapterListEntry> entries;
  EXPECT_EQ(machine.adapters().QuerySize(bytes), kNoData);
  EXPECT_EQ(machine.adapters().Fill(4096, entries), kNoData);
  EXPECT_TRUE(entries.empty());
}

TEST(SimAdapterListTest, SizeIsOneAdapterInfoPerAdapterAndFillNeedsIt) {
  auto machine = Machine::Demo();
  std::uint32_t bytes = 0;
  ASSERT_EQ(machine->adapters().QuerySize(bytes), kBufferOverflow);
  EXPECT_EQ(bytes, 4u * 640u);
  std::vector<AdapterListEntry> entries;
  EXPECT_EQ(machine->adapters().Fill(bytes - 1, entries), kBufferOverflow);
  EXPECT_TRUE(entries.empty());
  EXPECT_EQ(machine->adapters().Fill(bytes, entries), kSuccess);
  EXPECT_EQ(entries.size(), 4u);
}

TEST(SimAdapterListTest, DemoEntriesComeFromTheInterfaceKeys) {
  auto machine = Machine::Demo();
  machine->ResetCounts();
  const std::vector<AdapterListEntry> entries = FillAll(*machine);
  ASSERT_EQ(entries.size(), 4u);

  struct Expected {
    const char* description;
    std::uint32_t type;
    bool dhcp;
    const char* address;
    const char* mask;
    const char* gateway;
    const char* dhcpServer;
    const char* primaryWins;
  };
  const Expected expected[] = {
      {"Intel(R) PRO/100 VE Network Connection", 6, true, "192.168.1.34", "255.255.255.0",
       "192.168.1.1", "192.168.1.1", ""},
      {"Orinoco-class 802.11b PC Card", 71, false, "10.0.0.5", "255.255.255.0", "10.0.0.1", "",
       "10.0.0.3"},
      {"Virtual Network Adapter", 6, true, "0.0.0.0", "0.0.0.0", "", "", ""},
      {"Bluetooth PAN Network Adapter", 6, true, "0.0.0.0", "0.0.0.0", "", "", ""},
  };
  for (std::size_t i = 0; i < entries.size(); ++i) {
    SCOPED_TRACE(expected[i].description);
    const AdapterListEntry& e = entries[i];
    EXPECT_EQ(e.adapterName, machine->listed_adapters()[i].guid);
    EXPECT_EQ(e.index, machine->listed_adapters()[i].index);
    EXPECT_EQ(e.description, expected[i].description);
    EXPECT_EQ(e.type, expected[i].type);
    EXPECT_EQ(e.dhcpEnabled, expected[i].dhcp);
    EXPECT_EQ(e.ipAddress, expected[i].address);
    EXPECT_EQ(e.ipMask, expected[i].mask);
    EXPECT_EQ(e.gateway, expected[i].gateway);
    EXPECT_EQ(e.dhcpServer, expected[i].dhcpServer);
    EXPECT_EQ(e.primaryWins, expected[i].primaryWins);
    EXPECT_EQ(e.secondaryWins, "");
  }
  EXPECT_EQ(entries[0].adapterName, "{6E1B0F3A-2C4D-4E8F-9A10-3B5C7D9E1F20}");
  EXPECT_EQ(entries[1].adapterName, "{A3C5E7F9-1B2D-4F60-8A9C-0E1F2A3B4C5D}");

  // The list's own registry reads are internal: only the two list calls count, nothing stays open.
  EXPECT_EQ(machine->CallCount(), 2u);
  EXPECT_EQ(machine->CallCount(Service::AdapterList), 2u);
  EXPECT_EQ(machine->OpenHandles(), 0u);
}

TEST(SimAdapterListTest, EntriesFollowRegistryChanges) {
  auto machine = Machine::Demo();
  const std::string wired = TcpipInterfaceKey("{6E1B0F3A-2C4D-4E8F-9A10-3B5C7D9E1F20}");
  // Switched to static addresses: the static values count, the lease is ignored.
  machine->SetDword(kHklm, wired, "EnableDHCP", 0);
  machine->SetValue(kHklm, wired, "IPAddress",
                    RegValue::MultiString({"192.168.7.7", "192.168.7.8"}));
  machine->SetValue(kHklm, wired, "SubnetMask", RegValue::MultiString({"255.255.0.0"}));
  machine->SetValue(kHklm, wired, "DefaultGateway", RegValue::MultiString({"192.168.7.1"}));
  AdapterListEntry e = FillAll(*machine)[0];
  EXPECT_FALSE(e.dhcpEnabled);
  EXPECT_EQ(e.ipAddress, "192.168.7.7");
  EXPECT_EQ(e.ipMask, "255.255.0.0");
  EXPECT_EQ(e.gateway, "192.168.7.1");
  EXPECT_EQ(e.dhcpServer, "");

  // Values that are missing read as no address.
  for (const char* name : {"IPAddress", "SubnetMask", "DefaultGateway"}) {
    ASSERT_TRUE(machine->RemoveValue(kHklm, wired, name));
  }
  e = FillAll(*machine)[0];
  EXPECT_EQ(e.ipAddress, "0.0.0.0");
  EXPECT_EQ(e.ipMask, "0.0.0.0");
  EXPECT_EQ(e.gateway, "");
}

TEST(SimAdapterListTest, TextsAreInTheAnsiCodePage) {
  Machine machine;
  AdapterSpec spec = StaticSpec();
  spec.listed.description = "Carte réseau";  // UTF-8 in the model
  machine.AddAdapter(spec);
  EXPECT_EQ(FillAll(machine)[0].description, "Carte r\xE9seau");  // code page 1252
}

TEST(SimAdapterListTest, AFailedCallLeavesTheEntriesAlone) {
  auto machine = Machine::Demo();
  machine->FailServiceCall(Service::AdapterList, 2, platform::kNotEnoughMemory);
  std::uint32_t bytes = 0;
  EXPECT_EQ(machine->adapters().QuerySize(bytes), kBufferOverflow);
  std::vector<AdapterListEntry> entries(1);
  entries[0].description = "untouched";
  EXPECT_EQ(machine->adapters().Fill(bytes, entries), platform::kNotEnoughMemory);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].description, "untouched");
  EXPECT_EQ(machine->adapters().Fill(bytes, entries), kSuccess);
}

// What AddAdapter must leave in the registry, value by value and in this order.
struct ExpectedValue {
  const char* name;
  RegValue value;
};

void ExpectValues(const Machine& machine, const std::string& path,
                  const std::vector<ExpectedValue>& expected) {
  SCOPED_TRACE(path);
  std::vector<std::string> names;
  for (const auto& e : expected) {
    names.push_back(e.name);
    std::optional<RegValue> actual = machine.GetValue(kHklm, path, e.name);
    ASSERT_TRUE(actual) << e.name;
    EXPECT_EQ(actual->type, e.value.type) << e.name;
    EXPECT_EQ(actual->bytes, e.value.bytes) << e.name;
  }
  EXPECT_EQ(machine.ValueNames(kHklm, path), names);
}

TEST(SimAdapterListTest, AddAdapterWritesStaticSettings) {
  Machine machine;
  AdapterSpec spec = StaticSpec();
  spec.metric = 30;
  machine.AddAdapter(spec);
  const std::string guid = spec.listed.guid;
  ExpectValues(machine, TcpipInterfaceKey(guid),
               {{"EnableDHCP", RegValue::Dword(0)},
                {"IPAddress", RegValue::MultiString({"172.16.0.9", "172.16.0.10"})},
                {"SubnetMask", RegValue::MultiString({"255.255.0.0", "255.255.0.0"})},
                {"DefaultGateway", RegValue::MultiString({"172.16.0.1"})},
                {"NameServer", RegValue::String("172.16.0.2")},
                {"InterfaceMetric", RegValue::Dword(30)}});
  EXPECT_EQ(ConnectionKey(guid),
            "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\"
            "{11111111-2222-3333-4444-555555555555}\\Connection");
  ExpectValues(machine, ConnectionKey(guid),
               {{"Name", RegValue::String("Test Connection")},
                {"PnpInstanceID", RegValue::String("PCI\\VEN_1\\1")},
                {"MediaSubType", RegValue::Dword(1)}});
  EXPECT_EQ(EnumKey("PCI\\VEN_1\\1"), "SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_1\\1");
  ExpectValues(machine, EnumKey("PCI\\VEN_1\\1"),
               {{"Service", RegValue::String("TESTNIC")},
                {"DeviceDesc", RegValue::String("Test NIC device")}});
  ASSERT_EQ(machine.listed_adapters().size(), 1u);
  EXPECT_EQ(machine.listed_adapters()[0].index, 7u);
}

TEST(SimAdapterListTest, AddAdapterWritesDhcpSettingsWithAndWithoutLease) {
  Machine machine;
  AdapterSpec leased = StaticSpec();
  leased.dhcp = true;
  leased.lease =
      AdapterSpec::Lease{"10.1.1.5", "255.0.0.0", "10.1.1.1", "10.1.1.2 10.1.1.3", "10.1.1.4"};
  machine.AddAdapter(leased);
  ExpectValues(machine, TcpipInterfaceKey(leased.listed.guid),
               {{"EnableDHCP", RegValue::Dword(1)},
                {"IPAddress", RegValue::MultiString({"0.0.0.0"})},
                {"SubnetMask", RegValue::MultiString({"0.0.0.0"})},
                {"NameServer", RegValue::String("")},
                {"DhcpIPAddress", RegValue::String("10.1.1.5")},
                {"DhcpSubnetMask", RegValue::String("255.0.0.0")},
                {"DhcpDefaultGateway", RegValue::MultiString({"10.1.1.1"})},
                {"DhcpNameServer", RegValue::String("10.1.1.2 10.1.1.3")},
                {"DhcpServer", RegValue::String("10.1.1.4")}});

  AdapterSpec noLease = StaticSpec();
  noLease.listed.guid = "{99999999-2222-3333-4444-555555555555}";
  noLease.dhcp = true;
  noLease.pnpInstanceId = "";
  noLease.mediaSubType.reset();
  machine.AddAdapter(noLease);
  ExpectValues(machine, TcpipInterfaceKey(noLease.listed.guid),
               {{"EnableDHCP", RegValue::Dword(1)},
                {"IPAddress", RegValue::MultiString({"0.0.0.0"})},
                {"SubnetMask", RegValue::MultiString({"0.0.0.0"})},
                {"NameServer", RegValue::String("")},
                {"DhcpIPAddress", RegValue::String("0.0.0.0")},
                {"DhcpSubnetMask", RegValue::String("0.0.0.0")}});
  ExpectValues(
      machine, ConnectionKey(noLease.listed.guid),
      {{"Name", RegValue::String("Test Connection")}, {"PnpInstanceID", RegValue::String("")}});
  EXPECT_EQ(machine.SubkeyNames(kHklm, "SYSTEM\\CurrentControlSet\\Enum"),
            std::vector<std::string>{"PCI"});  // only the first adapter's device

  const std::vector<AdapterListEntry> entries = FillAll(machine);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].ipAddress, "10.1.1.5");
  EXPECT_EQ(entries[0].gateway, "10.1.1.1");
  EXPECT_EQ(entries[0].dhcpServer, "10.1.1.4");
  EXPECT_EQ(entries[1].ipAddress, "0.0.0.0");
}

TEST(SimAdapterListTest, DemoAdaptersAreConsistentAcrossTheirKeys) {
  auto machine = Machine::Demo();
  struct Device {
    const char* guid;
    const char* connection;
    const char* pnp;
    const char* service;
  };
  const Device devices[] = {
      {"{6E1B0F3A-2C4D-4E8F-9A10-3B5C7D9E1F20}", "Local Area Connection",
       "PCI\\VEN_8086&DEV_1050&SUBSYS_30088086&REV_02\\4&1F7DBC9F&0&40F0", "E100B"},
      {"{A3C5E7F9-1B2D-4F60-8A9C-0E1F2A3B4C5D}", "Wireless Network Connection",
       "PCMCIA\\WLAN-PCCARD-7A3F\\1", "WLPC"},
      {nullptr, "Local Area Connection 2", "ROOT\\NET\\0000", "VNETA"},
      {nullptr, "Bluetooth Network", "BTH\\MS_BTHPAN\\7&2A3B4C5D&0&2", "BTWDNDIS"},
  };
  ASSERT_EQ(machine->listed_adapters().size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    const std::string guid = machine->listed_adapters()[i].guid;
    SCOPED_TRACE(guid);
    if (devices[i].guid) {
      EXPECT_EQ(guid, devices[i].guid);
    }
    EXPECT_EQ(machine->GetString(kHklm, ConnectionKey(guid), "Name"), devices[i].connection);
    EXPECT_EQ(machine->GetString(kHklm, ConnectionKey(guid), "PnpInstanceID"), devices[i].pnp);
    EXPECT_EQ(machine->GetString(kHklm, EnumKey(devices[i].pnp), "Service"), devices[i].service);
    EXPECT_TRUE(machine->KeyExists(kHklm, TcpipInterfaceKey(guid)));
  }
  const std::string wireless = TcpipInterfaceKey(devices[1].guid);
  EXPECT_EQ(machine->GetString(kHklm, wireless, "NameServer"), "10.0.0.1,10.0.0.2");
  EXPECT_EQ(machine->GetValue(kHklm, wireless, "InterfaceMetric")->bytes,
            RegValue::Dword(20).bytes);
  EXPECT_EQ(machine->GetValue(kHklm, ConnectionKey(devices[1].guid), "MediaSubType")->bytes,
            RegValue::Dword(2).bytes);
  EXPECT_EQ(machine->GetString(kHklm, TcpipInterfaceKey(devices[0].guid), "DhcpNameServer"),
            "192.168.1.1 192.168.1.2");
}

}  // namespace
}  // namespace nebrin::sim
