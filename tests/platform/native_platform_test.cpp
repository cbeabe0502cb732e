// Without a host-installed platform, Linux answers the Windows-only services with failures and
// never with made-up success.
#include <gtest/gtest.h>

#include "NebrinCoreDll.h"
#include "nebrin/platform_install.h"
#include "platform/platform.h"
#include "support/sim_fixture.h"

namespace {

using namespace nebrin::platform;

TEST(NativePlatform, WindowsOnlyServicesFail) {
  nebrin::InstallPlatform(nullptr);
  Platform& p = Current();
  KeyHandle key = kNoKey;
  EXPECT_NE(p.registry().OpenKey(kCurrentUser, u"Software", Access::Read, key), kSuccess);
  std::uint32_t bytes = 0;
  const Status size = p.adapters().QuerySize(bytes);
  EXPECT_NE(size, kSuccess);
  EXPECT_NE(size, kBufferOverflow);
  OsVersion version;
  EXPECT_NE(p.system().GetVersion(version), kSuccess);
}

TEST(NativePlatform, CaptureFailsWithoutTouchingTheRecords) {
  nebrin::InstallPlatform(nullptr);
  nebrin::testing::Profile p;
  p.env.AdapterCount = 3;
  EXPECT_EQ(CNetInfoRetrieve().IPRetrieve(&p.env, p.adapters), 0);
  EXPECT_EQ(p.env.AdapterCount, 3);
}

TEST(NativePlatform, WirelessMembersFailWithoutTheWindowsServices) {
  nebrin::InstallPlatform(nullptr);
  CWLanControl wlan;
  wlan.bWZCStopped = 0;
  // An empty service database: no service of that name.
  EXPECT_EQ(wlan.StopWZCService(), HResultFromWin32(kServiceDoesNotExist));
  EXPECT_EQ(wlan.StartWZCService(), HResultFromWin32(kServiceDoesNotExist));
  EXPECT_EQ(wlan.StartPDService(), HResultFromWin32(kServiceDoesNotExist));
  EXPECT_EQ(wlan.bWZCStopped, 0);
  EXPECT_EQ(wlan.CheckWZCStatus(0), 0);
  EXPECT_EQ(wlan.CheckNebrinWLANStatus(), 0);
  std::u16string text = u"Local Area Connection";
  auto* param = reinterpret_cast<NebrinChar*>(text.data());
  EXPECT_EQ(wlan.InstallWLANService(param), 0);
  EXPECT_EQ(wlan.DeleteWLANService(), 0);
  EXPECT_EQ(wlan.MakeAdHocByExternalBinary(1), 0);
  NebrinHandle device{};
  EXPECT_EQ(wlan.MakeOneClickAdHoc(device, nullptr), 23);
  EXPECT_EQ(wlan.OnAp(param), 0);
}

// No companion driver: its device is not found and its service is not installed, so opening
// answers the service's status; no configuration objects, no setup files.
TEST(NativePlatform, DriverMembersFailWithoutTheDriver) {
  nebrin::InstallPlatform(nullptr);
  CWLanControl wlan;
  std::u16string adapter = u"{A3C5E7F9-1B2D-4F60-8A9C-0E1F2A3B4C5D}";
  const NebrinHandle untouched = reinterpret_cast<NebrinHandle>(0x10);
  NebrinHandle device = untouched;
  EXPECT_EQ(wlan.OpenDevice(reinterpret_cast<NebrinChar*>(adapter.data()), device),
            static_cast<int>(0x80070424u));
  EXPECT_EQ(device, untouched);
  EXPECT_EQ(wlan.CheckPDDriverExist(), 0);
  std::u16string path = u"/tmp/ORLPD.inf";
  EXPECT_EQ(wlan.InstallPDDriver(reinterpret_cast<NebrinChar*>(path.data())),
            HResultFromWin32(kCallNotImplemented));
  INetCfg* netCfg = nullptr;
  EXPECT_EQ(wlan.GetINetCfg(netCfg), kClassNotRegistered);
  EXPECT_EQ(netCfg, nullptr);
}

TEST(NativePlatform, TextConversionIsUtf8) {
  nebrin::InstallPlatform(nullptr);
  std::u16string wide;
  ASSERT_EQ(Current().text().ToWide(CodePage::Ansi, "caf\xc3\xa9", wide), kSuccess);
  EXPECT_EQ(wide, u"caf\u00e9");
  std::string narrow;
  ASSERT_EQ(Current().text().ToNarrow(CodePage::Oem, u"\u00e9\U0001F600", narrow), kSuccess);
  EXPECT_EQ(narrow, "\xc3\xa9\xf0\x9f\x98\x80");
}

}  // namespace
