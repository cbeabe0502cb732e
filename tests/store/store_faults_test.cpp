// Every store operation under the fault sweep: each platform call in turn fails, and the
// operation must end cleanly with a documented result.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>

#include "nebrin/platform_install.h"
#include "store/store_fixture.h"
#include "support/fault_sweep.h"

namespace {

using namespace nebrin::testing;
using nebrin::sim::kHkcu;
using nebrin::sim::kHklm;
using nebrin::sim::Machine;

// The demo machine with profiles 0 (Office: a DHCP and a static adapter) and 1 (one static
// adapter) stored by the library, profile 0 applied last, and the machine-wide key present.
std::shared_ptr<Machine> StoredMachine() {
  auto m = Machine::Demo();
  nebrin::InstallPlatform(m);
  Profile office = OfficeProfile();
  CNetInfoManage().SaveProfileInfoToRegistry(&office.env, office.adapters, 1);
  Profile home = OfficeProfile("Home");
  home.env.AdapterCount = 1;
  home.adapters[0] = office.adapters[1];
  CNetInfoManage().SaveProfileInfoToRegistry(&home.env, home.adapters, 1);
  CNetInfoManage().SetLastProfileNo(0);
  CNetInfoManage().MakeHKLMNebrinKey(&office.env);
  nebrin::InstallPlatform(nullptr);
  return m;
}

NebrinChar* Name(std::u16string& text) { return reinterpret_cast<NebrinChar*>(text.data()); }

TEST(StoreFaults, EveryOperationEndsCleanlyWithADocumentedResult) {
  struct Case {
    std::string name;
    std::function<int()> operation;
    std::set<int> documented = {0, 1};
    std::function<std::shared_ptr<Machine>()> machine = StoredMachine;
  };
  CNetInfoManage manage;
  CNetInfoRetrieve retrieve;
  const std::vector<Case> cases = {
      {"SaveProfileInfoToRegistry rewrite",
       [&] {
         Profile p = OfficeProfile();
         p.env.nProfileKey = 1;
         p.env.AdapterCount = 2;  // one adapter key more than stored
         return manage.SaveProfileInfoToRegistry(&p.env, p.adapters, 0);
       }},
      {"SaveValueForEachProfile",
       [&] {
         Profile p = OfficeProfile();
         p.env.nICSFlag = 1;
         p.env.bPrivateWlan = 1;
         return manage.SaveValueForEachProfile(&p.env, 0);
       }},
      {"SaveValueForEachAdapter",
       [&] {
         Profile p = OfficeProfile();  // static adapter 1 without a metric
         return manage.SaveValueForEachAdapter(p.adapters, 0, 1);
       }},
      {"SaveNameOrPrinter",
       [&] {
         Profile p = OfficeProfile("Renamed");
         p.env.nProfileKey = 0;
         p.env.bDefaultPrinterFlag = 1;
         Put(p.env.strPrinterName, "Laser");
         return manage.SaveNameOrPrinter(&p.env);
       },
       {0, 1},
       [] {
         auto m = StoredMachine();
         m->printers().installed = {"Laser"};
         return m;
       }},
      {"GetProfileCount", [&] { return retrieve.GetProfileCount(); }, {0, 1, 2}},
      {"GetNameIndexInfo",
       [&] {
         NameIndex entries[2];
         return retrieve.GetNameIndexInfo(entries, 2);
       }},
      {"GetInfoFromRegistry",
       [&] {
         Profile p;
         CCommonFtn().InitStructure(&p.env, p.adapters);
         return retrieve.GetInfoFromRegistry(0, &p.env, p.adapters);
       }},
      {"GetCurrentProfileInfo",
       [&] {
         Profile p;
         CCommonFtn().InitStructure(&p.env, p.adapters);
         return retrieve.GetCurrentProfileInfo(&p.env, p.adapters);
       }},
      {"CanUseThisName",
       [&] {
         std::u16string name = u"Home";  // taken: a failing read makes it look free
         return retrieve.CanUseThisName(Name(name));
       }},
      {"CanUseThisNameEdit",
       [&] {
         std::u16string name = u"Home";
         EnvInfoStr env{};
         env.nProfileKey = 0;
         return retrieve.CanUseThisNameEdit(Name(name), &env);
       }},
      {"SetLastProfileNo", [&] { return manage.SetLastProfileNo(1); }},
      {"DeleteSelectProfile", [&] { return manage.DeleteSelectProfile(0); }},
      {"DeleteSelectProfileAdapter", [&] { return manage.DeleteSelectProfileAdapter(0); }},
      {"DeleteAllProfile", [&] { return manage.DeleteAllProfile(); }},
      {"DeleteNebrinKey", [&] { return manage.DeleteNebrinKey(); }},
      {"CountProfileKey", [&] { return manage.CountProfileKey(); }},
      {"SetProfileCount", [&] { return manage.SetProfileCount(); }},
      {"MakeHKLMNebrinKey",
       [&] {
         Profile p = OfficeProfile();
         return manage.MakeHKLMNebrinKey(&p.env);
       },
       {0, 1},
       [] {
         auto m = StoredMachine();
         m->RemoveKeyTree(kHklm, kMachineWide);
         return m;
       }},
      {"DeleteHKLMNebrinKey", [&] { return manage.DeleteHKLMNebrinKey(); }},
      {"GetDHCPIP",
       [&] {
         Profile p = OfficeProfile();
         return manage.GetDHCPIP(0, 0, p.adapters);
       }},
  };
  for (const Case& c : cases) {
    FaultSweepCase sweep;
    sweep.name = c.name;
    sweep.machine = c.machine;
    sweep.operation = c.operation;
    sweep.documented = c.documented;
    const FaultSweepReport report = RunFaultSweep(sweep);
    EXPECT_GT(report.calls, 0u) << c.name;
  }
}

// A new-profile save that fails, wherever it fails, leaves no half profile: either the profile
// is stored and loads back, or its key is gone and the stored profiles are intact.
TEST(StoreFaults, FailedNewProfileSaveLeavesNoHalfProfile) {
  struct Case {
    std::string name;
    std::function<std::shared_ptr<Machine>()> machine;
    int number;  // the number the new profile takes
  };
  const Case cases[] = {
      {"first save", [] { return Machine::Demo(); }, 0},
      {"next save", StoredMachine, 2},
  };
  for (const Case& c : cases) {
    std::shared_ptr<Machine> current;
    FaultSweepCase sweep;
    sweep.name = c.name;
    sweep.machine = [&] { return current = c.machine(); };
    sweep.operation = [&] {
      Profile p = OfficeProfile("Lab");
      const int result = CNetInfoManage().SaveProfileInfoToRegistry(&p.env, p.adapters, 1);
      current->ClearFaults();
      Profile loaded;
      CCommonFtn().InitStructure(&loaded.env, loaded.adapters);
      if (result == 1) {
        EXPECT_EQ(p.env.nProfileKey, c.number) << c.name;
        EXPECT_EQ(CNetInfoRetrieve().GetInfoFromRegistry(c.number, &loaded.env, loaded.adapters), 1)
            << c.name;
        EXPECT_EQ(Text(loaded.env.ProfileName), "Lab") << c.name;
      } else {
        EXPECT_FALSE(current->KeyExists(kHkcu, ProfilePath(c.number))) << c.name;
        for (int n = 0; n < c.number; ++n) {
          EXPECT_EQ(CNetInfoRetrieve().GetInfoFromRegistry(n, &loaded.env, loaded.adapters), 1)
              << c.name << ": stored profile " << n;
        }
        // Nothing a failed save leaves behind stops the next one.
        Profile again = OfficeProfile("Lab");
        EXPECT_EQ(CNetInfoManage().SaveProfileInfoToRegistry(&again.env, again.adapters, 1), 1)
            << c.name << ": the save after the failed one";
      }
      return result;
    };
    sweep.documented = {0, 1};
    const FaultSweepReport report = RunFaultSweep(sweep);
    EXPECT_EQ(report.resultsUnderFault, (std::set<int>{0, 1})) << c.name;
  }
}

// A rewrite that adds an adapter and fails, wherever it fails, leaves a profile that loads.
TEST(StoreFaults, FailedRewriteLeavesTheProfileLoadable) {
  std::shared_ptr<Machine> current;
  FaultSweepCase sweep;
  sweep.name = "rewrite with an adapter more";
  sweep.machine = [&] {
    current = StoredMachine();  // profile 1 has one adapter
    return current;
  };
  sweep.operation = [&] {
    Profile p = OfficeProfile("Home 2");
    p.env.nProfileKey = 1;
    p.adapters[0] = p.adapters[1];
    p.adapters[1] = OfficeProfile().adapters[1];
    Put(p.adapters[1].AdapterName, "{0AB12C34-0000-4000-8000-00000000000F}");  // no system metric
    const int result = CNetInfoManage().SaveProfileInfoToRegistry(&p.env, p.adapters, 0);
    current->ClearFaults();
    Profile loaded;
    CCommonFtn().InitStructure(&loaded.env, loaded.adapters);
    EXPECT_EQ(CNetInfoRetrieve().GetInfoFromRegistry(1, &loaded.env, loaded.adapters), 1)
        << "after a rewrite that answered " << result;
    return result;
  };
  sweep.documented = {0};  // the second adapter's metric cannot be had
  const FaultSweepReport report = RunFaultSweep(sweep);
  EXPECT_GT(report.calls, 10u);
}

}  // namespace
