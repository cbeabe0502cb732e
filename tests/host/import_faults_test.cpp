// An import under the fault sweep: each platform call of the import fails in turn. Whatever
// fails, the import keeps every profile of the file or none of them.
#include <gtest/gtest.h>

#include <string>

#include "host/profile_file_fixture.h"
#include "nebrin/platform_install.h"
#include "profile_file.h"
#include "support/sim_fixture.h"

namespace {

using namespace nebrin::testing;
using nebrin::host::ImportFailed;
using nebrin::host::Refusal;
using nebrin::sim::Machine;

// The demo machine with one profile of its own, and a file of three profiles to import under
// new names.
std::shared_ptr<Machine> Target() {
  auto m = Machine::Demo();
  nebrin::InstallPlatform(m);
  EnvInfoStr env;
  AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS];
  CCommonFtn().InitStructure(&env, adapters);
  CNetInfoRetrieve().IPRetrieve(&env, adapters);
  env.ProfileName[0] = u'H';
  env.ProfileName[1] = 0;
  CNetInfoManage().SaveProfileInfoToRegistry(&env, adapters, 1);
  nebrin::InstallPlatform(nullptr);
  return m;
}

std::string FileOfThree() {
  nebrin::InstallPlatform(MachineWithProfiles());
  const std::string file = ExportAll(true);
  nebrin::InstallPlatform(nullptr);
  return file;
}

TEST(ImportFaults, AnImportThatFailsKeepsNoProfileOfIt) {
  const std::string file = FileOfThree();
  auto clean = Target();
  const std::string before = clean->ToJsonText();
  nebrin::InstallPlatform(clean);
  clean->ResetCounts();
  Import(file);
  const std::uint64_t calls = clean->CallCount();
  nebrin::InstallPlatform(nullptr);
  ASSERT_GT(calls, 100u);

  int undone = 0, undoneOnTheThird = 0, refusedBeforeWriting = 0, imported = 0;
  for (std::uint64_t n = 1; n <= calls; ++n) {
    SCOPED_TRACE("call " + std::to_string(n) + " fails");
    auto m = Target();
    nebrin::InstallPlatform(m);
    m->ResetCounts();
    m->FailCall(n, nebrin::platform::kAccessDenied);
    try {
      const auto report = Import(file);
      m->ClearFaults();
      ++imported;
      ASSERT_EQ(report.profiles.size(), 3u);
      // Everything the file holds is stored and loads whole.
      const auto loaded = LoadAll();
      ASSERT_EQ(loaded.size(), 4u);
      for (std::size_t i = 0; i < 3; ++i) {
        auto stored = nebrin::host::ProfileFileJson({loaded[i + 1]}, true)["profiles"][0];
        auto meant = nlohmann::ordered_json::parse(file)["profiles"][i];
        meant["nProfileKey"] = 1 + i;
        EXPECT_EQ(stored.dump(2), meant.dump(2));
      }
    } catch (const ImportFailed& e) {
      m->ClearFaults();
      ++undone;
      if (std::string(e.what()).find("the 3rd profile") != std::string::npos) ++undoneOnTheThird;
      EXPECT_NE(std::string(e.what()).find("nothing of it was kept"), std::string::npos)
          << e.what();
      EXPECT_EQ(FirstDifference(before, m->ToJsonText()), "") << e.what();
    } catch (const Refusal& e) {
      m->ClearFaults();
      ++refusedBeforeWriting;
      EXPECT_EQ(FirstDifference(before, m->ToJsonText()), "") << e.what();
    }
    EXPECT_EQ(m->OpenHandles(), 0u);
    nebrin::InstallPlatform(nullptr);
  }
  EXPECT_GT(undoneOnTheThird, 0);  // failures after two profiles of the file were stored
  EXPECT_GT(undone, undoneOnTheThird);
  EXPECT_GT(refusedBeforeWriting, 0);
  EXPECT_GT(imported, 0);  // calls whose failure the library shrugs off (lease refresh)
}

}  // namespace
