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
