// Running the ad hoc tool and the one-click action.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "support/sim_fixture.h"
#include "wlan/wlan_machines.h"

namespace nebrin::testing {
namespace {

using sim::Machine;
using sim::ProgramKind;
using sim::WirelessMode;

class AdHocToolTest : public SimTest {
 protected:
  void SetUp() override { Use(Machine::Demo()); }
  const std::vector<sim::StartedProcess>& Started() { return machine().process_state().started; }
  bool WirelessInAdHocMode() {
    auto found = machine().wireless_state().find(kWirelessGuid);
    return found != machine().wireless_state().end() && found->second.mode == WirelessMode::AdHoc;
  }
  sim::SimProgram& Tool() {
    for (auto& program : machine().process_state().programs) {
      if (program.path == kToolPath) return program;
    }
    throw std::logic_error("the demo machine has no ad hoc tool");
  }
  int OneClick() {
    NebrinHandle device{};
    return CWLanControl().MakeOneClickAdHoc(device, nullptr);
  }
};

TEST_F(AdHocToolTest, ModeOneSelectsSlashOneAndAnyOtherSlashTwo) {
  const std::string quoted = std::string("\"") + kToolPath + "\" ";
  const std::vector<std::pair<int, std::string>> cases = {
      {1, quoted + "/1"}, {0, quoted + "/2"}, {2, quoted + "/2"}, {-1, quoted + "/2"}};
  for (const auto& [mode, commandLine] : cases) {
    SCOPED_TRACE(mode);
    Use(Machine::Demo());
    const std::uint32_t before = machine().tick_count();
    EXPECT_EQ(CWLanControl().MakeAdHocByExternalBinary(mode), 1);
    ASSERT_EQ(Started().size(), 1u);
    EXPECT_EQ(Started()[0].application, kToolPath);  // the program run is named by its full path
    EXPECT_EQ(Started()[0].commandLine, commandLine);
    EXPECT_EQ(Started()[0].showCommand, 0u);            // SW_HIDE
    EXPECT_EQ(machine().tick_count() - before, 3000u);  // waited until the tool ended
    EXPECT_TRUE(WirelessInAdHocMode());
  }
}

TEST_F(AdHocToolTest, OneClickRunsTheToolUnlessItRunsAlready) {
  EXPECT_EQ(OneClick(), 22);
  ASSERT_EQ(Started().size(), 1u);
  EXPECT_EQ(Started()[0].commandLine.substr(Started()[0].commandLine.size() - 3), " /1");

  machine().process_state().table.push_back({4100, "Tamsel.exe", true, std::nullopt, std::nullopt});
  EXPECT_EQ(OneClick(), 27);
  EXPECT_EQ(Started().size(), 1u);
}

TEST_F(AdHocToolTest, ToolThatCannotBeRunGives23) {
  struct Case {
    const char* name;
    void (*prepare)(Machine&);
  };
  const std::vector<Case> cases = {
      {"tool absent", [](Machine& m) { m.process_state().programs.pop_back(); }},
      {"no Program Files folder", [](Machine& m) { m.shell_state().programFiles.clear(); }},
      {"tool path longer than the path buffer",
       [](Machine& m) { m.shell_state().programFiles = "C:\\" + std::string(240, 'p'); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Use(Machine::Demo());
    c.prepare(machine());
    EXPECT_EQ(CWLanControl().MakeAdHocByExternalBinary(1), 0);
    EXPECT_EQ(OneClick(), 23);
    EXPECT_TRUE(Started().empty());
    EXPECT_FALSE(WirelessInAdHocMode());
  }
}

TEST_F(AdHocToolTest, CommandLineMustFitThePathBufferToo) {
  // The tool path is "C:\", n characters and "\corvane\Nebrin\Tamsel.exe": n + 29 characters;
  // the command line adds two quotes and " /1". Both must leave room for the terminator.
  for (const auto& [folderLength, runs] :
       std::vector<std::pair<std::size_t, bool>>{{225, true}, {226, false}, {231, false}}) {
    SCOPED_TRACE(folderLength);
    Use(Machine::Demo());
    const std::string folder = "C:\\" + std::string(folderLength, 'p');
    machine().shell_state().programFiles = folder;
    machine().process_state().programs.push_back(
        {folder + "\\corvane\\Nebrin\\Tamsel.exe", ProgramKind::AdHocTool, 10});
    EXPECT_EQ(CWLanControl().MakeAdHocByExternalBinary(1), runs ? 1 : 0);
    EXPECT_EQ(Started().size(), runs ? 1u : 0u);
    if (runs) {
      EXPECT_EQ(Started()[0].commandLine.size(), 259u);
    }
  }
}

TEST_F(AdHocToolTest, WaitEndsWithTheToolOrAfterFiveMinutes) {
  struct Case {
    std::uint32_t runMs;
    std::uint32_t waited;
    bool stillRunning;
  };
  for (const Case& c :
       std::vector<Case>{{0, 0, false}, {300000, 300000, false}, {300001, 300000, true}}) {
    SCOPED_TRACE(c.runMs);
    Use(Machine::Demo());
    Tool().runMs = c.runMs;
    const std::uint32_t before = machine().tick_count();
    EXPECT_EQ(OneClick(), 22);
    EXPECT_EQ(machine().tick_count() - before, c.waited);
    NebrinChar tool[] = {'T', 'a', 'm', 's', 'e', 'l', '.', 'e', 'x', 'e', 0};
    EXPECT_EQ(CNetInfoManage().CheckOSStatus(tool), c.stillRunning ? 1 : 0);
  }
}

TEST_F(AdHocToolTest, ToolThatEndsAtOnceStillCountsAsRun) {
  Tool().kind = ProgramKind::Idle;  // does nothing: its own failure is invisible
  Tool().runMs = 0;
  EXPECT_EQ(CWLanControl().MakeAdHocByExternalBinary(2), 1);
  EXPECT_FALSE(WirelessInAdHocMode());
}

}  // namespace
}  // namespace nebrin::testing
