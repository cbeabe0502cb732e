// The DLL as a host meets it: record initialisation, members that always answer 1, and loading.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "NebrinCoreDll.h"

namespace {

TEST(LibraryTest, InitStructureEmptiesRecordsWrittenWithGarbage) {
  EnvInfoStr env;
  AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS];
  std::memset(&env, 0xCD, sizeof(env));
  std::memset(adapters, 0xCD, sizeof(adapters));

  CCommonFtn common;
  common.InitStructure(&env, adapters);

  EXPECT_EQ(0, env.AdapterCount);
  EXPECT_EQ(-1, env.nProfileKey);
  EXPECT_EQ(0, env.nICSFlag);
  EXPECT_EQ(0, env.bDefaultPrinterFlag);
  EXPECT_EQ(L'\0', env.ProfileName[0]);
  EXPECT_EQ(L'\0', env.strPrinterName[0]);
  EXPECT_EQ(L'\0', env.strWLANPassWord[0]);
  for (const AdapterInfoStr& a : adapters) {
    EXPECT_EQ(L'\0', a.AdapterName[0]);
    EXPECT_EQ(L'\0', a.IpAddressList[0]);
    EXPECT_EQ(L'\0', a.SecondaryDnsServer[0]);
    EXPECT_EQ(L'\0', a.Metric[0]);
  }
}

TEST(LibraryTest, ConstantMembersAnswerOne) {
  CCommonFtn common;
  CICSManage sharing;
  CNetInfoManage manage;
  CRoamingControl roaming;
  CWLanControl wlan;
  wchar_t text[] = L"x";
  EXPECT_EQ(1, common.CheckAdapterExist(3, -1, nullptr));
  EXPECT_EQ(1, common.CheckOSVersion());
  EXPECT_EQ(1, common.CheckSingleInstance(nullptr));
  EXPECT_EQ(1, common.MakeMappingIndexArrayForGUI(0, 0));
  EXPECT_EQ(1, sharing.ICSInstallAndUninstall(7, nullptr, nullptr));
  EXPECT_EQ(1, manage.CheckAddressValid(text));
  EXPECT_EQ(1, roaming.InstallRoamingDriver());
  EXPECT_EQ(1, roaming.UninstallRoamingDriver());
  EXPECT_EQ(1, roaming.CheckOutRoamingStatus());
  EXPECT_EQ(1, wlan.GetMaxRSSIValue(text));
  EXPECT_EQ(1, wlan.ChangeAPOrder(nullptr));
}

// The test executable imports the DLL, so loading it by name only counts references. A copy under
// another name is a separate module: each round really maps it, runs its entry point for attach
// and detach, and unmaps it.
TEST(LibraryTest, LoadsAndUnloadsRepeatedly) {
  wchar_t imported[MAX_PATH];
  ASSERT_NE(0u, GetModuleFileNameW(GetModuleHandleW(L"NebrinCoreDll.dll"), imported, MAX_PATH));
  wchar_t folder[MAX_PATH];
  ASSERT_NE(0u, GetTempPathW(MAX_PATH, folder));
  const std::wstring copy = std::wstring(folder) + L"NebrinCoreDll-load-test.dll";
  ASSERT_TRUE(CopyFileW(imported, copy.c_str(), FALSE));

  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE(round);
    HMODULE module = LoadLibraryW(copy.c_str());
    ASSERT_NE(nullptr, module) << GetLastError();
    EXPECT_NE(nullptr, GetProcAddress(module, "_ZN10CCommonFtn13InitStructureEP10EnvInfoStrP14AdapterInfoStr"));
    EXPECT_NE(nullptr, GetProcAddress(module, "_ZN16CNetInfoRetrieve10IPRetrieveEP10EnvInfoStrP14AdapterInfoStr"));
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(nullptr, GetModuleHandleW(copy.c_str())) << "the module stayed mapped";
  }
  for (int round = 0; round < 3; ++round) {
    HMODULE module = LoadLibraryW(L"NebrinCoreDll.dll");
    ASSERT_NE(nullptr, module);
    EXPECT_TRUE(FreeLibrary(module));
  }
  EXPECT_TRUE(DeleteFileW(copy.c_str()));
}

}  // namespace
