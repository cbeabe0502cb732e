// System information and code-page conversion of the simulated machine.
#include <gtest/gtest.h>

#include "platform/sim/machine.h"

namespace nebrin::sim {
namespace {

using platform::CodePage;
using platform::kSuccess;

TEST(SimSystemTest, AnswersFromTheSystemState) {
  Machine machine;
  machine.system_state().version = platform::OsVersion{5, 2, 3790, 2, u"Service Pack 1"};
  machine.system_state().tabletPc = true;
  machine.system_state().ansiCodePage = 1251;
  machine.system_state().oemCodePage = 866;
  platform::SystemInfo& system = machine.system();

  platform::OsVersion version;
  ASSERT_EQ(system.GetVersion(version), kSuccess);
  EXPECT_EQ(version.minor, 2u);
  EXPECT_EQ(version.build, 3790u);
  EXPECT_EQ(version.servicePack, u"Service Pack 1");
  EXPECT_EQ(system.GetSystemMetric(platform::kMetricTabletPc), 1);
  EXPECT_EQ(system.GetSystemMetric(0), 0);
  EXPECT_EQ(system.AnsiCodePage(), 1251u);
  EXPECT_EQ(system.OemCodePage(), 866u);
  EXPECT_EQ(machine.CallCount(Service::SystemInfo), 5u);
}

TEST(SimSystemTest, FailuresOfCallsWithoutStatus) {
  Machine machine;
  machine.system_state().tabletPc = true;
  machine.FailServiceCall(Service::SystemInfo, 1, platform::kAccessDenied);
  machine.FailServiceCall(Service::SystemInfo, 2, platform::kAccessDenied);
  EXPECT_EQ(machine.system().GetSystemMetric(platform::kMetricTabletPc), 0);  // failed: 0
  EXPECT_EQ(machine.system().AnsiCodePage(), 1252u);  // cannot fail; the plan is spent
  EXPECT_EQ(machine.system().GetSystemMetric(platform::kMetricTabletPc), 1);
  EXPECT_EQ(machine.CallCount(), 3u);
}

TEST(SimSystemTest, TextUsesTheMachinesCodePages) {
  Machine machine;
  machine.system_state().ansiCodePage = 1252;
  machine.system_state().oemCodePage = 850;
  platform::TextCodec& text = machine.text();
  std::string narrow;
  ASSERT_EQ(text.ToNarrow(CodePage::Ansi, u"\u00E9\u20AC\u4E2D", narrow), kSuccess);
  EXPECT_EQ(narrow, "\xE9\x80?");  // the euro sign is 0x80 in 1252; CJK has no place
  ASSERT_EQ(text.ToNarrow(CodePage::Oem, u"\u00E9", narrow), kSuccess);
  EXPECT_EQ(narrow, "\x82");
  std::u16string wide;
  ASSERT_EQ(text.ToWide(CodePage::Oem, "\x82", wide), kSuccess);
  EXPECT_EQ(wide, u"\u00E9");

  machine.FailServiceCall(Service::TextCodec, 4, platform::kNotEnoughMemory);
  EXPECT_EQ(text.ToWide(CodePage::Ansi, "x", wide), platform::kNotEnoughMemory);
  EXPECT_EQ(text.ToWide(CodePage::Ansi, "x", wide), kSuccess);
  EXPECT_EQ(wide, u"x");
}

}  // namespace
}  // namespace nebrin::sim
