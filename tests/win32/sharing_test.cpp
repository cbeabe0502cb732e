// Connection sharing, the firewall switch and the connection checks on Wine's real COM and adapter
// list. Wine has no sharing manager registered, so the members that need it stop where it cannot
// be created; what must hold is that they leave the calling thread's COM exactly as they found it.
// The address checks read Wine's real adapter list, which reports every adapter as DHCP.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>
#include <objbase.h>

#include <cwchar>
#include <memory>
#include <string>
#include <thread>

#include "NebrinCoreDll.h"
#include "registry_fixture.h"

namespace nebrin::win32_test {
namespace {

// Runs `body` on a thread of its own, so the COM state a test gives its thread cannot leak into
// the tests after it.
template <typename Body>
void OnOwnThread(Body body) {
  std::thread thread(body);
  thread.join();
}

template <std::size_t N>
void Put(wchar_t (&field)[N], const std::wstring& text) {
  wcsncpy(field, text.c_str(), N - 1);
  field[N - 1] = 0;
}

// A thread in the multithreaded apartment: CoInitialize fails there with RPC_E_CHANGED_MODE, and
// an uninitialisation by the library would end the host's own apartment.
TEST(SharingComTest, ConnectionChecksLeaveTheHostsApartmentAlone) {
  OnOwnThread([] {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    EnvInfoStr env{};
    AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS]{};
    lstrcpyW(adapters[0].AdapterName, L"{6E1B0F3A-2C4D-4E8F-9A10-3B5C7D9E1F20}");
    CNetDiag diag;
    EXPECT_EQ(diag.CheckOutCableConnection(&env, adapters, 0), 0);
    EXPECT_EQ(diag.CheckOutHWEnableDisable(&env, adapters, 0), 0);
    // Still the host's apartment: joining it again answers S_FALSE, not a fresh S_OK.
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
    CoUninitialize();
    CoUninitialize();
  });
}

// Without a sharing manager the host set-up and the firewall switch answer 15, and COM is
// balanced: on a fresh thread nothing stays initialised, on the host's apartment it stays.
TEST(SharingComTest, WithoutSharingManagerTheSwitchesAnswer15) {
  OnOwnThread([] {
    EnvInfoStr env{};
    AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS]{};
    Put(env.strPublicDevGUID, L"{6E1B0F3A-2C4D-4E8F-9A10-3B5C7D9E1F20}");
    Put(env.strPrivateDevGUID, L"{A3C5E7F9-1B2D-4F60-8A9C-0E1F2A3B4C5D}");
    env.bICFFlag = 1;
    CNetInfoManage manage;
    EXPECT_EQ(manage.ICSServerSetup(&env, adapters, 1), 15);
    EXPECT_EQ(manage.ICSServerSetup(&env, adapters, 0), 15);
    EXPECT_EQ(manage.SetICF(&env), 15);
    EXPECT_EQ(CoInitialize(nullptr), S_OK);  // no apartment was left behind
    EXPECT_EQ(manage.SetICF(&env), 15);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);  // the test's own apartment is still there
    CoUninitialize();
    CoUninitialize();
  });
}

// The DLL runs on its own Win32 services (a host cannot replace them), so these cases are chosen
// so that no message box is due: the client check is only asked about an adapter Wine lists as
// DHCP.
class SharingAddressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DWORD status = 0;
    listed_ = ListAdapters(status);
    if (listed_.empty()) GTEST_SKIP() << "Wine lists no adapter here";
  }

  std::vector<ListedAdapter> listed_;
};

TEST_F(SharingAddressTest, ClientCheckFindsTheDhcpAdapter) {
  if (!listed_[0].dhcp) GTEST_SKIP() << "Wine lists its first adapter as static here";
  EnvInfoStr env{};
  AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS]{};
  Put(env.strPrivateDevGUID, listed_[0].guid);
  EXPECT_EQ(CNetInfoManage().CheckClientIPChange(&env, adapters), 1);
}

TEST_F(SharingAddressTest, HostCheckConfirmsAStoredDhcpAdapter) {
  if (!listed_[0].dhcp) GTEST_SKIP() << "Wine lists its first adapter as static here";
  EnvInfoStr env{};
  AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS]{};
  CCommonFtn().InitStructure(&env, adapters);
  Put(env.ProfileName, L"Wine host");
  env.AdapterCount = 1;
  Put(adapters[0].AdapterName, listed_[0].guid);
  Put(adapters[0].DhcpEnabled, L"yes");
  Put(adapters[0].MediaSubType, L"line");
  Put(env.strPrivateDevGUID, L"{00000000-0000-0000-0000-000000000000}");
  CNetInfoManage manage;
  ASSERT_EQ(manage.SaveProfileInfoToRegistry(&env, adapters, 1), 1);
  EXPECT_EQ(manage.CheckServerIPChangeResult(&env, adapters), 1);
  // Stored as a fixed address, the DHCP adapter is not confirmed.
  Put(adapters[0].DhcpEnabled, L"no");
  Put(adapters[0].IpAddressList, L"10.255.255.1");
  EXPECT_EQ(manage.CheckServerIPChangeResult(&env, adapters), 0);
  manage.DeleteNebrinKey();  // the store goes; 0 only says no machine-wide key was there
}

}  // namespace
}  // namespace nebrin::win32_test
