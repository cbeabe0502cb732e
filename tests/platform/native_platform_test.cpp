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
  EXPECT_EQ(wlan.StopWZCService(), HResultFromWin32(kCallNotImplemented));
  EXPECT_EQ(wlan.StartWZCService(), HResultFromWin32(kCallNotImplemented));
  EXPECT_EQ(wlan.StartPDService(), HResultFromWin32(kCallNotImplemented));
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
