// Environment checks: the OEM code page decision and the process lookup.
#include <gtest/gtest.h>

#include <vector>

#include "NebrinCoreDll.h"
#include "support/sim_fixture.h"

namespace nebrin::testing {
namespace {

class EnvironmentChecksTest : public SimTest {
 protected:
  int Find(const char16_t* name) {
    std::vector<NebrinChar> text(name, name + std::char_traits<char16_t>::length(name) + 1);
    return CNetInfoManage().CheckOSStatus(text.data());
  }
  void Run(const std::string& image, bool openable = true) {
    auto& state = machine().process_state();
    state.table.push_back({state.nextId, image, openable, std::nullopt, std::nullopt});
    state.nextId += 4;
  }
};

TEST_F(EnvironmentChecksTest, OemScriptOnlyOnNt51WithTheRightCodePage) {
  struct Case {
    std::uint32_t platformId, major, minor;
    bool tablet;
    std::uint32_t oem;
    int expected;
  };
  const std::vector<Case> cases = {
      {2, 5, 1, false, 852, 1}, {2, 5, 1, true, 852, 1},  {2, 5, 1, true, 866, 1},
      {2, 5, 1, false, 866, 0}, {2, 5, 1, true, 437, 0},  {2, 5, 1, false, 437, 0},
      {2, 5, 0, false, 852, 0}, {2, 5, 2, true, 866, 0},  {2, 6, 0, false, 852, 0},
      {1, 5, 1, false, 852, 0},
  };
  for (const auto& c : cases) {
    auto& system = machine().system_state();
    system.version.platformId = c.platformId;
    system.version.major = c.major;
    system.version.minor = c.minor;
    system.tabletPc = c.tablet;
    system.oemCodePage = c.oem;
    EXPECT_EQ(CNetInfoManage().GetOSVer(), c.expected)
        << c.major << "." << c.minor << " tablet " << c.tablet << " oem " << c.oem;
  }
  machine().system_state().oemCodePage = 852;
  machine().FailServiceCall(sim::Service::SystemInfo, 1, platform::kInvalidParameter);
  EXPECT_EQ(CNetInfoManage().GetOSVer(), 0);  // a failed version query
}

TEST_F(EnvironmentChecksTest, FindsOnlyReadableProcessesByExactName) {
  Run("explorer.exe");
  Run("netsh.exe");
  EXPECT_EQ(Find(u"netsh.exe"), 1);
  EXPECT_EQ(Find(u"Netsh.exe"), 0);
  EXPECT_EQ(Find(u"netsh"), 0);
  EXPECT_EQ(Find(u"unknown"), 0);
  machine().process_state().table.clear();
  Run("ORL_Core.exe", /*openable=*/false);
  EXPECT_EQ(Find(u"ORL_Core.exe"), 0);
  EXPECT_EQ(machine().OpenHandles(), 0u);
}

TEST_F(EnvironmentChecksTest, SeesProcessesBeyondTheFirstThousand) {
  for (int i = 0; i < 1500; ++i) Run("svchost.exe");
  Run("netsh.exe");
  EXPECT_EQ(Find(u"netsh.exe"), 1);
}

TEST_F(EnvironmentChecksTest, LongNamesAreComparedOnWhatFits) {
  const std::string longName(300, 'a');
  Run(longName);
  std::u16string fitted(259, u'a');
  EXPECT_EQ(Find(fitted.c_str()), 1);
  EXPECT_EQ(Find(std::u16string(300, u'a').c_str()), 0);
}

TEST_F(EnvironmentChecksTest, FailedProcessListingCountsAsAbsent) {
  Run("netsh.exe");
  machine().FailServiceCall(sim::Service::Processes, 1, platform::kAccessDenied);
  EXPECT_EQ(Find(u"netsh.exe"), 0);
}

}  // namespace
}  // namespace nebrin::testing
