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

// Conversions as Windows makes them without flags: best fits for characters a page lacks (the
// ones that matter to a script reader: a look-alike quote, OEM glyphs of control bytes), and the
// system's characters for bytes a page does not define, never a failure.
TEST(SimSystemTest, TextUsesTheMachinesCodePages) {
  Machine machine;
  platform::TextCodec& text = machine.text();
  struct Narrow {
    std::uint32_t ansi, oem;
    CodePage page;
    std::u16string wide;
    std::string bytes;
  };
  const Narrow narrows[] = {
      {1252, 850, CodePage::Ansi, u"\u00E9\u20AC\u4E2D", "\xE9\x80?"},  // CJK has no place
      {1252, 850, CodePage::Oem, u"\u00E9", "\x82"},
      {1252, 850, CodePage::Ansi, u"a\uFF02b", "a\"b"},
      {1252, 437, CodePage::Oem, u"\u266A\u25D9\uFF02", "\r\n\""},
      {1250, 852, CodePage::Oem, u"\u266A\u25D9\u2302", "\r\n\x7F"},
      {1251, 866, CodePage::Oem, u"\u263A\u2190", "\x01\x1B"},
      {1252, 850, CodePage::Ansi, u"\u266A\U0001F600", "??"},
      // Surrogates without their partner are each the default character; what follows stays.
      {1252, 850, CodePage::Ansi, {0xD800, u'a', 0xDC00, u'b', 0xD800}, "?a?b?"},
      {1252, 850, CodePage::Ansi, {0xD800, 0xD83D, 0xDE00, u'c'}, "??c"},
      // A first half of a pair without its second: its own '?', and the quote or CR after it
      // stays (a script line keeps its closing quote and its line end).
      {1252, 850, CodePage::Ansi, u"a\xD83D\"\xDBFF\r\n", "a?\"?\r\n"},
  };
  for (const Narrow& c : narrows) {
    machine.system_state().ansiCodePage = c.ansi;
    machine.system_state().oemCodePage = c.oem;
    std::string narrow;
    ASSERT_EQ(text.ToNarrow(c.page, c.wide, narrow), kSuccess);
    EXPECT_EQ(narrow, c.bytes) << c.ansi << "/" << c.oem;
  }
  struct Wide {
    std::uint32_t ansi;
    std::string bytes;
    std::u16string wide;
  };
  const Wide wides[] = {
      {1252, "caf\xE9", u"caf\u00E9"},
      {1252, "a\x81\x9D", u"a\u0081\u009D"},  // undefined in 1252: their C1 controls
      // Other undefined bytes: the private-use characters of Windows' tables (and on the Hebrew
      // page the point the system defines where iconv has none).
      {1253, "\xAA\xD2\xFF", u"\uF8F9\uF8FA\uF8FB"},
      {1255, "\xCA\xD9\xFB\xFF", u"\u05BA\uF88D\uF894\uF896"},
      {1257, "\xA1\xA5\x9F", u"\uF8FC\uF8FD\u009F"},
      {874, "\xDB\xFF", u"\uF8C1\uF8C8"},
      {857, "\xD5\xF2", u"\uF8BB\uF8BD"},
      {864, "\xA6\xFF", u"\uF8BE\uF8C0"},
      {932, "a\x81", u"a\u30FB"},  // a lead byte without its trail
      {65001,
       "a\xFF"
       "b",
       u"a\uFFFDb"},
  };
  machine.system_state().oemCodePage = 850;
  for (const Wide& c : wides) {
    machine.system_state().ansiCodePage = c.ansi;
    std::u16string wide;
    ASSERT_EQ(text.ToWide(CodePage::Ansi, c.bytes, wide), kSuccess) << c.ansi;
    EXPECT_EQ(wide, c.wide) << c.ansi;
  }
  std::u16string wide;
  ASSERT_EQ(text.ToWide(CodePage::Oem, "\x82", wide), kSuccess);
  EXPECT_EQ(wide, u"\u00E9");

  machine.ResetCounts();
  machine.FailServiceCall(Service::TextCodec, 1, platform::kNotEnoughMemory);
  EXPECT_EQ(text.ToWide(CodePage::Ansi, "x", wide), platform::kNotEnoughMemory);
  EXPECT_EQ(text.ToWide(CodePage::Ansi, "x", wide), kSuccess);
  EXPECT_EQ(wide, u"x");
}

}  // namespace
}  // namespace nebrin::sim
