// The profile store on Wine's real registry: what the library writes is read back with the
// system's own `reg query`, loads back into equal records, and is removed again.
#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "NebrinCoreDll.h"
#include "registry_fixture.h"

namespace nebrin::win32_test {
namespace {

const wchar_t kStore[] = L"Software\\Corvane\\Nebrin";
const wchar_t kMachineWide[] = L"SOFTWARE\\CORVANE\\Nebrin";

template <std::size_t N>
std::wstring Field(const wchar_t (&field)[N]) {
  return std::wstring(field, wcsnlen(field, N));
}

template <std::size_t N>
void Put(wchar_t (&field)[N], const wchar_t* text) {
  wcsncpy(field, text, N - 1);
  field[N - 1] = 0;
}

// Runs `reg query KEY` through the command interpreter; the exit status and what it printed.
int RegQuery(const std::string& key, std::string& output) {
  output.clear();
  const std::string command = "reg query \"" + key + "\" 2>&1";
  FILE* pipe = _popen(command.c_str(), "r");
  if (pipe == nullptr) return -1;
  char buffer[512];
  while (std::fgets(buffer, sizeof(buffer), pipe) != nullptr) output += buffer;
  return _pclose(pipe);
}

// Whether `reg query` printed the value as REG_SZ with exactly this text.
bool Lists(const std::string& output, const std::string& name, const std::string& text) {
  std::size_t start = 0;
  while (start < output.size()) {
    std::size_t end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    std::string line = output.substr(start, end - start);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    const std::size_t at = line.find(name);
    const std::size_t type = line.find("REG_SZ");
    if (at != std::string::npos && type != std::string::npos && type > at &&
        line.size() >= text.size() && line.compare(line.size() - text.size(), text.size(), text) == 0 &&
        line.find_first_not_of(' ', type + 6) == line.size() - text.size()) {
      return true;
    }
    start = end + 1;
  }
  return false;
}

// The byte count of a value below HKEY_CURRENT_USER, or 0 when it cannot be read.
DWORD ValueBytes(const std::wstring& key, const wchar_t* name) {
  UniqueHkey handle;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, handle.put()) != ERROR_SUCCESS) {
    return 0;
  }
  DWORD size = 0;
  if (RegQueryValueExW(handle.get(), name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) {
    return 0;
  }
  return size;
}

bool UserKeyExists(const std::wstring& key) {
  UniqueHkey handle;
  return RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, handle.put()) == ERROR_SUCCESS;
}

bool MachineKeyExists(const std::wstring& key) {
  UniqueHkey handle;
  return RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, handle.put()) ==
         ERROR_SUCCESS;
}

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CNetInfoManage manage;
    manage.DeleteAllProfile();  // a store left by an earlier run, if any
    CCommonFtn().InitStructure(&env_, adapters_);
    Put(env_.ProfileName, L"Office");
    env_.IconIndex = 3;
    env_.AdapterCount = 1;
    env_.bPrivateWlan = 1;
    env_.bWLANWebKeyUse = 1;
    Put(env_.strWLANConnectionName, L"Studio");
    Put(env_.strWLANPassWord, L"0123456789");
    Put(env_.strPrivateDevGUID, L"{AAAAAAAA-0000-0000-0000-000000000001}");
    AdapterInfoStr& a = adapters_[0];
    Put(a.DhcpEnabled, L"no");
    Put(a.IpAddressList, L"10.1.2.3");
    Put(a.SubnetMask, L"255.255.255.0");
    Put(a.GatewayList, L"10.1.2.1");
    Put(a.PrimaryDnsServer, L"10.1.2.53");
    Put(a.Metric, L"25");
    Put(a.ConnectionName, L"Local Area Connection");
    Put(a.DeviceDesc, L"Test Card");
    Put(a.MediaSubType, L"line");
    Put(a.AdapterName, L"{AAAAAAAA-0000-0000-0000-000000000001}");
  }

  EnvInfoStr env_{};
  AdapterInfoStr adapters_[NEBRIN_ADAPTER_RECORDS]{};
};

TEST_F(StoreTest, StoredProfileReadsBackWithRegQueryAndLoadsIntoEqualRecords) {
  CNetInfoManage manage;
  ASSERT_EQ(1, manage.SaveProfileInfoToRegistry(&env_, adapters_, 1));
  const int number = env_.nProfileKey;
  ASSERT_GE(number, 0);

  const std::string profileKey = "HKCU\\Software\\Corvane\\Nebrin\\" + std::to_string(number);
  std::string output;
  ASSERT_EQ(0, RegQuery(profileKey, output)) << output;
  EXPECT_TRUE(Lists(output, "ProfileName", "Office")) << output;
  EXPECT_TRUE(Lists(output, "IconIndex", "3")) << output;
  EXPECT_TRUE(Lists(output, "AdapterCount", "1")) << output;
  EXPECT_TRUE(Lists(output, "nICSFlag", "normal")) << output;
  ASSERT_EQ(0, RegQuery(profileKey + "\\0", output)) << output;
  EXPECT_TRUE(Lists(output, "IpAddressList", "10.1.2.3")) << output;
  EXPECT_TRUE(Lists(output, "Metric", "25")) << output;
  // Text values carry exactly one terminating NUL.
  const std::wstring adapterKey =
      std::wstring(kStore) + L"\\" + std::to_wstring(number) + L"\\0";
  EXPECT_EQ((8u + 1u) * sizeof(wchar_t), ValueBytes(adapterKey, L"IpAddressList"));

  EnvInfoStr env{};
  AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS]{};
  CCommonFtn().InitStructure(&env, adapters);
  ASSERT_EQ(1, CNetInfoRetrieve().GetInfoFromRegistry(number, &env, adapters));
  EXPECT_EQ(Field(env_.ProfileName), Field(env.ProfileName));
  EXPECT_EQ(env_.IconIndex, env.IconIndex);
  EXPECT_EQ(env_.AdapterCount, env.AdapterCount);
  EXPECT_EQ(number, env.nProfileKey);
  EXPECT_EQ(Field(adapters_[0].IpAddressList), Field(adapters[0].IpAddressList));
  EXPECT_EQ(Field(adapters_[0].SubnetMask), Field(adapters[0].SubnetMask));
  EXPECT_EQ(Field(adapters_[0].GatewayList), Field(adapters[0].GatewayList));
  EXPECT_EQ(Field(adapters_[0].PrimaryDnsServer), Field(adapters[0].PrimaryDnsServer));
  EXPECT_EQ(Field(adapters_[0].Metric), Field(adapters[0].Metric));
  EXPECT_EQ(Field(adapters_[0].AdapterName), Field(adapters[0].AdapterName));

  ASSERT_EQ(1, manage.DeleteSelectProfile(number));
  EXPECT_NE(0, RegQuery(profileKey, output)) << output;
  EXPECT_FALSE(UserKeyExists(std::wstring(kStore) + L"\\" + std::to_wstring(number)));
}

TEST_F(StoreTest, MachineWideKeyIsWrittenAndTheWholeStoreRemoved) {
  CNetInfoManage manage;
  ASSERT_EQ(1, manage.SaveProfileInfoToRegistry(&env_, adapters_, 1));
  ASSERT_EQ(1, manage.MakeHKLMNebrinKey(&env_));
  std::string output;
  ASSERT_EQ(0, RegQuery("HKLM\\SOFTWARE\\CORVANE\\Nebrin", output)) << output;
  EXPECT_TRUE(Lists(output, "SSID", "Studio")) << output;
  EXPECT_TRUE(Lists(output, "WEPKEY", "0123456789")) << output;
  EXPECT_TRUE(Lists(output, "KEYENABLE", "yes")) << output;
  EXPECT_TRUE(Lists(output, "GUID", "{AAAAAAAA-0000-0000-0000-000000000001}")) << output;

  ASSERT_EQ(1, manage.DeleteNebrinKey());
  EXPECT_FALSE(UserKeyExists(kStore));
  EXPECT_FALSE(MachineKeyExists(kMachineWide));
}

}  // namespace
}  // namespace nebrin::win32_test
