// Adapter discovery through the DLL against Wine's own adapter list and registry. The adapters are
// whatever Wine reports on this host; the test writes the registry keys that describe them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "registry_fixture.h"

namespace nebrin::win32_test {
namespace {

const std::wstring kInterfaces = L"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";
const std::wstring kNetwork =
    L"SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";
const std::wstring kDevices = L"SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_1234&DEV_0001";

std::wstring InterfaceKey(const std::wstring& guid) { return kInterfaces + guid; }
std::wstring ConnectionKey(const std::wstring& guid) { return kNetwork + guid + L"\\Connection"; }
// Adapters are numbered from 1 in the order Wine lists them.
std::wstring DeviceKey(int number) { return kDevices + L"\\" + std::to_wstring(number); }
std::wstring Numbered(const wchar_t* text, int number) { return text + std::to_wstring(number); }

template <std::size_t N>
std::wstring Field(const wchar_t (&field)[N]) {
  return std::wstring(field, wcsnlen(field, N));
}

void WriteAdapterKeys(const std::wstring& guid, int number) {
  UniqueHkey key;
  ASSERT_EQ(ERROR_SUCCESS, CreateMachineKey(InterfaceKey(guid), key));
  ASSERT_EQ(ERROR_SUCCESS, SetTexts(key.get(), L"IPAddress", {L"10.9.8.7", L"10.9.8.8"}));
  ASSERT_EQ(ERROR_SUCCESS, SetTexts(key.get(), L"SubnetMask", {L"255.255.0.0", L"255.0.0.0"}));
  ASSERT_EQ(ERROR_SUCCESS, SetTexts(key.get(), L"DefaultGateway", {L"10.9.8.254"}));
  ASSERT_EQ(ERROR_SUCCESS, SetText(key.get(), L"NameServer", L"10.9.8.1,10.9.8.2"));
  ASSERT_EQ(ERROR_SUCCESS, SetText(key.get(), L"DhcpSubnetMask", L"255.255.255.0"));
  ASSERT_EQ(ERROR_SUCCESS, SetText(key.get(), L"DhcpNameServer", L"10.9.8.3 10.9.8.4"));
  ASSERT_EQ(ERROR_SUCCESS, SetNumber(key.get(), L"InterfaceMetric", 30));

  ASSERT_EQ(ERROR_SUCCESS, CreateMachineKey(ConnectionKey(guid), key));
  ASSERT_EQ(ERROR_SUCCESS, SetText(key.get(), L"Name", Numbered(L"Wine Connection ", number)));
  ASSERT_EQ(ERROR_SUCCESS,
            SetText(key.get(), L"PnpInstanceID", Numbered(L"PCI\\VEN_1234&DEV_0001\\", number)));
  ASSERT_EQ(ERROR_SUCCESS, SetNumber(key.get(), L"MediaSubType", 1));

  ASSERT_EQ(ERROR_SUCCESS, CreateMachineKey(DeviceKey(number), key));
  ASSERT_EQ(ERROR_SUCCESS, SetText(key.get(), L"Service", L"e1000"));
  ASSERT_EQ(ERROR_SUCCESS, SetText(key.get(), L"DeviceDesc", Numbered(L"Wine Test Adapter ", number)));
}

class DiscoveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    adapters_ = ListAdapters(listStatus_);
    for (std::size_t i = 0; i < adapters_.size(); ++i) {
      ASSERT_NO_FATAL_FAILURE(WriteAdapterKeys(adapters_[i].guid, static_cast<int>(i) + 1));
    }
  }

  void TearDown() override {
    for (const auto& adapter : adapters_) {
      EXPECT_EQ(ERROR_SUCCESS, DeleteMachineTree(InterfaceKey(adapter.guid)));
      EXPECT_EQ(ERROR_SUCCESS, DeleteMachineTree(kNetwork + adapter.guid));
    }
    EXPECT_EQ(ERROR_SUCCESS, DeleteMachineTree(kDevices));
  }

  int Retrieve() {
    CCommonFtn common;
    common.InitStructure(&env_, records_);
    CNetInfoRetrieve retrieve;
    return retrieve.IPRetrieve(&env_, records_);
  }

  // The record kept for `adapter`, or null.
  const AdapterInfoStr* RecordOf(const ListedAdapter& adapter) const {
    const int count = std::clamp(env_.AdapterCount, 0, NEBRIN_ADAPTER_RECORDS);
    for (int i = 0; i < count; ++i) {
      if (Field(records_[i].AdapterName) == adapter.guid) return &records_[i];
    }
    return nullptr;
  }

  DWORD listStatus_ = 0;
  std::vector<ListedAdapter> adapters_;
  EnvInfoStr env_{};
  AdapterInfoStr records_[NEBRIN_ADAPTER_RECORDS]{};
};

TEST_F(DiscoveryTest, CapturesEveryAdapterWineLists) {
  if (adapters_.empty()) {
    // A machine without IP adapters: the size query answers "no data" and nothing is captured.
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_DATA), listStatus_);
    EXPECT_EQ(0, Retrieve());
    return;
  }
  if (adapters_.size() > NEBRIN_ADAPTER_RECORDS) GTEST_SKIP() << "more adapters than records";

  // Which branches ran depends on the host's interfaces; the log says which.
  const auto dhcp = std::count_if(adapters_.begin(), adapters_.end(),
                                  [](const ListedAdapter& a) { return a.dhcp; });
  std::printf("Wine lists %zu adapter(s), %d with DHCP\n", adapters_.size(), static_cast<int>(dhcp));

  ASSERT_EQ(1, Retrieve());
  ASSERT_EQ(static_cast<int>(adapters_.size()), env_.AdapterCount);
  for (std::size_t i = 0; i < adapters_.size(); ++i) {
    const ListedAdapter& listed = adapters_[i];
    const int number = static_cast<int>(i) + 1;
    SCOPED_TRACE(listed.guid);
    const AdapterInfoStr& record = records_[i];
    EXPECT_EQ(listed.guid, Field(record.AdapterName));
    EXPECT_EQ(Numbered(L"Wine Connection ", number), Field(record.ConnectionName));
    EXPECT_EQ(Numbered(L"Wine Test Adapter ", number), Field(record.DeviceDesc));
    EXPECT_EQ(L"line", Field(record.MediaSubType));
    if (listed.dhcp) {
      EXPECT_EQ(L"yes", Field(record.DhcpEnabled));
      EXPECT_EQ(listed.ipAddress, Field(record.IpAddressList));
      const bool leased = !listed.ipAddress.empty() && listed.ipAddress != L"0.0.0.0";
      EXPECT_EQ(leased ? L"255.255.255.0" : L"0.0.0.0", Field(record.SubnetMask));
      EXPECT_EQ(listed.gateway, Field(record.GatewayList));
      EXPECT_EQ(L"10.9.8.3", Field(record.PrimaryDnsServer));
      EXPECT_EQ(L"10.9.8.4", Field(record.SecondaryDnsServer));
    } else {
      EXPECT_EQ(L"no", Field(record.DhcpEnabled));
      EXPECT_EQ(L"10.9.8.7", Field(record.IpAddressList));  // the first address only
      EXPECT_EQ(L"255.255.0.0", Field(record.SubnetMask));
      EXPECT_EQ(L"10.9.8.254", Field(record.GatewayList));
      EXPECT_EQ(L"10.9.8.1", Field(record.PrimaryDnsServer));
      EXPECT_EQ(L"10.9.8.2", Field(record.SecondaryDnsServer));
      EXPECT_EQ(L"30", Field(record.Metric));
    }
  }
}

// One change to the first adapter's keys and what discovery makes of it.
struct Alteration {
  const char* name;
  void (*alter)(const std::wstring& guid);
  int result;             // IPRetrieve's answer
  const wchar_t* media;   // the first adapter's MediaSubType, or null when it is dropped
};

void SetConnectionText(const std::wstring& guid, const wchar_t* name, const std::wstring& value) {
  UniqueHkey key;
  ASSERT_EQ(ERROR_SUCCESS, CreateMachineKey(ConnectionKey(guid), key));
  ASSERT_EQ(ERROR_SUCCESS, SetText(key.get(), name, value));
}

void SetMedia(const std::wstring& guid, DWORD media) {
  UniqueHkey key;
  ASSERT_EQ(ERROR_SUCCESS, CreateMachineKey(ConnectionKey(guid), key));
  ASSERT_EQ(ERROR_SUCCESS, SetNumber(key.get(), L"MediaSubType", media));
}

const Alteration kAlterations[] = {
    {"BluetoothService",
     [](const std::wstring&) {
       UniqueHkey key;
       ASSERT_EQ(ERROR_SUCCESS, CreateMachineKey(DeviceKey(1), key));
       ASSERT_EQ(ERROR_SUCCESS, SetText(key.get(), L"Service", L"BTWDNDIS"));
     },
     1, nullptr},
    {"RootEnumeratedDevice",
     [](const std::wstring& guid) { SetConnectionText(guid, L"PnpInstanceID", L"ROOT\\NET\\0000"); },
     1, nullptr},
    {"NoConnectionKey",
     [](const std::wstring& guid) { ASSERT_EQ(ERROR_SUCCESS, DeleteMachineTree(kNetwork + guid)); },
     1, nullptr},
    {"UnknownMedia", [](const std::wstring& guid) { SetMedia(guid, 0); }, 1, nullptr},
    {"WirelessMedia", [](const std::wstring& guid) { SetMedia(guid, 2); }, 1, L"air"},
    {"NoIPAddress",
     [](const std::wstring& guid) {
       UniqueHkey key;
       ASSERT_EQ(ERROR_SUCCESS, CreateMachineKey(InterfaceKey(guid), key));
       ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueW(key.get(), L"IPAddress"));
     },
     0, nullptr},
};

class AlteredDiscoveryTest : public DiscoveryTest,
                             public ::testing::WithParamInterface<Alteration> {};

TEST_P(AlteredDiscoveryTest, FirstAdapter) {
  if (adapters_.empty()) GTEST_SKIP() << "Wine lists no adapter on this host";
  if (adapters_.size() > NEBRIN_ADAPTER_RECORDS) GTEST_SKIP() << "more adapters than records";
  const Alteration& alteration = GetParam();
  ASSERT_NO_FATAL_FAILURE(alteration.alter(adapters_.front().guid));

  const int result = Retrieve();
  ASSERT_EQ(alteration.result, result);
  if (result == 0) return;

  const int listed = static_cast<int>(adapters_.size());
  const AdapterInfoStr* first = RecordOf(adapters_.front());
  if (alteration.media == nullptr) {
    EXPECT_EQ(listed - 1, env_.AdapterCount);
    EXPECT_EQ(nullptr, first);
  } else {
    EXPECT_EQ(listed, env_.AdapterCount);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(alteration.media, Field(first->MediaSubType));
  }
  // The other adapters are kept either way.
  for (std::size_t i = 1; i < adapters_.size(); ++i) {
    EXPECT_NE(nullptr, RecordOf(adapters_[i])) << "adapter " << i + 1;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, AlteredDiscoveryTest, ::testing::ValuesIn(kAlterations),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace nebrin::win32_test
