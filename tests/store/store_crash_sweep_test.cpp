// Every store writer cut off after each of its registry writes, as a process killed there leaves
// the store (no taking back runs): the profiles stored before load as before, the catalogue,
// count, name checks, current profile and a new save still answer, and a damaged profile is only
// ever listed as damaged.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "nebrin/platform_install.h"
#include "store/store_fixture.h"

namespace {

using namespace nebrin::testing;
using nebrin::sim::kHkcu;
using nebrin::sim::Machine;

Profile SharingProfile(const std::string& name, int role) {
  Profile p = OfficeProfile(name);
  Put(p.adapters[1].Metric, "20");
  p.env.nICSFlag = role;
  p.env.bICFFlag = 1;
  p.env.bPrivateWlan = 1;
  p.env.bWLANWebKeyUse = 1;
  p.env.bDefaultPrinterFlag = 1;
  Put(p.env.strPrinterName, "Laser");
  Put(p.env.strPublicDevGUID, kWiredGuid);
  Put(p.env.strPrivateDevGUID, kWirelessGuid);
  Put(p.env.strWLANConnectionName, "adhoc");
  Put(p.env.strWLANPassWord, "secret");
  return p;
}

bool Same(const Profile& a, const Profile& b) {
  return std::memcmp(&a.env, &b.env, sizeof(a.env)) == 0 &&
         std::memcmp(a.adapters, b.adapters, sizeof(a.adapters)) == 0;
}

// Loads into records zeroed first, so that two loads compare byte for byte.
int Load(int number, Profile& p) {
  p = Profile{};
  CCommonFtn().InitStructure(&p.env, p.adapters);
  return CNetInfoRetrieve().GetInfoFromRegistry(number, &p.env, p.adapters);
}

// The demo machine with three profiles stored through the library: 0 "Office" (DHCP and static),
// 1 "Home" (sharing host with a private wireless network and a printer), 2 "Cafe" (sharing
// client); profile 1 applied last, and the machine-wide key written.
std::string BaseStore() {
  auto m = Machine::Demo();
  nebrin::InstallPlatform(m);
  CNetInfoManage manage;
  Profile office = OfficeProfile("Office");
  Profile home = SharingProfile("Home", 1);
  Profile cafe = SharingProfile("Cafe", 2);
  cafe.env.bWLANWebKeyUse = 0;
  for (Profile* p : {&office, &home, &cafe})
    EXPECT_EQ(manage.SaveProfileInfoToRegistry(&p->env, p->adapters, 1), 1);
  EXPECT_EQ(manage.SetLastProfileNo(1), 1);
  EXPECT_EQ(manage.MakeHKLMNebrinKey(&home.env), 1);
  nebrin::InstallPlatform(nullptr);
  return m->ToJsonText();
}

struct Writer {
  const char* name;
  std::function<int()> run;
  std::set<int> changing;  // profiles it deletes or changes: they need not load as before
  bool emptyStore = false;
};

std::vector<Writer> Writers() {
  auto save = [](std::function<Profile()> make, int flag) {
    return [make, flag] {
      Profile p = make();
      return CNetInfoManage().SaveProfileInfoToRegistry(&p.env, p.adapters, flag);
    };
  };
  return {
      {"first save", save([] { return SharingProfile("First", 1); }, 1), {}, true},
      {"new save", save([] { return SharingProfile("Fourth", 2); }, 1), {}},
      {"rewrite DHCP to static, normal to host",
       save(
           [] {
             Profile p = SharingProfile("Office", 1);
             Put(p.adapters[0].DhcpEnabled, "no");
             Put(p.adapters[0].Metric, "");
             p.env.AdapterCount = 2;
             p.env.nProfileKey = 0;
             return p;
           },
           0),
       {0}},
      {"rewrite host to normal with three adapters",
       save(
           [] {
             Profile p = OfficeProfile("Home");
             p.adapters[2] = p.adapters[1];
             p.env.AdapterCount = 3;
             Put(p.adapters[1].Metric, "7");
             Put(p.adapters[2].Metric, "9");
             p.env.nProfileKey = 1;
             return p;
           },
           0),
       {1}},
      {"rename and printer",
       [] {
         Profile p;
         EXPECT_EQ(Load(2, p), 1);
         Put(p.env.ProfileName, "Bistro");
         p.env.IconIndex = 1000000000;
         p.env.bDefaultPrinterFlag = 0;
         Put(p.env.strPrinterName, "Ink");
         return CNetInfoManage().SaveNameOrPrinter(&p.env);
       },
       {2}},
      {"one adapter in place",
       [] {
         Profile p;
         EXPECT_EQ(Load(2, p), 1);
         Put(p.adapters[1].IpAddressList, "10.0.0.77");
         return CNetInfoManage().SaveValueForEachAdapter(p.adapters, 2, 1);
       },
       {2}},
      {"delete 1", [] { return CNetInfoManage().DeleteSelectProfile(1); }, {1}},
      {"delete 2", [] { return CNetInfoManage().DeleteSelectProfile(2); }, {2}},
      {"delete all", [] { return CNetInfoManage().DeleteAllProfile(); }, {0, 1, 2}},
      {"delete the store", [] { return CNetInfoManage().DeleteNebrinKey(); }, {0, 1, 2}},
      {"count", [] { return CNetInfoManage().SetProfileCount(); }, {}},
      {"last applied", [] { return CNetInfoManage().SetLastProfileNo(2); }, {}},
      {"machine-wide key",
       [] {
         Profile p = SharingProfile("Cafe", 2);
         return CNetInfoManage().MakeHKLMNebrinKey(&p.env);
       },
       {}},
      {"machine-wide key removed", [] { return CNetInfoManage().DeleteHKLMNebrinKey(); }, {}},
      {"lease refresh",
       [] {
         Profile p;
         return Load(0, p);
       },
       {}},
  };
}

// The checks on a store as a cut-off writer left it; empty when all hold.
std::vector<std::string> Damage(const std::map<int, Profile>& before, const std::set<int>& changing,
                                int lastApplied) {
  std::vector<std::string> damage;
  auto fail = [&](const std::string& what) { damage.push_back(what); };
  CNetInfoRetrieve retrieve;
  for (const auto& [number, stored] : before) {
    Profile now;
    const int loaded = Load(number, now);
    if (changing.count(number) != 0) continue;
    if (loaded != 1 || !Same(now, stored)) fail("profile " + std::to_string(number) + " changed");
  }
  const int count = retrieve.GetProfileCount();
  std::vector<NameIndex> entries(static_cast<std::size_t>(count) + 1);
  if (count < 0) fail("negative count");
  const int listed = retrieve.GetNameIndexInfo(entries.data(), count + 1);
  if (count > 0 && listed != 1) fail("the catalogue fails");
  std::set<int> numbers;
  for (int i = 0; i < count; ++i) {
    const NameIndex& e = entries[static_cast<std::size_t>(i)];
    numbers.insert(e.nProfileKey);
    const bool damaged = e.ProfileName[0] == 0 && e.IconIndex == -1;
    Profile p;
    if (!damaged && Load(e.nProfileKey, p) != 1)
      fail("profile " + std::to_string(e.nProfileKey) + " listed by name but does not load");
  }
  for (const auto& [number, stored] : before) {
    if (changing.count(number) == 0 && numbers.count(number) == 0)
      fail("profile " + std::to_string(number) + " not listed");
  }
  if (before.count(0) != 0 && changing.count(0) == 0 &&
      retrieve.CanUseThisName(const_cast<NebrinChar*>(before.at(0).env.ProfileName)) != 0) {
    fail("a stored name is free");
  }
  NebrinChar nobody[] = {'N', 'o', 'b', 'o', 'd', 'y', 0};
  if (retrieve.CanUseThisName(nobody) != 1) fail("a free name is taken");
  Profile current;
  const int applied = retrieve.GetCurrentProfileInfo(&current.env, current.adapters);
  if (applied != 0 && applied != 1) fail("current answers " + std::to_string(applied));
  if (lastApplied >= 0 && before.count(lastApplied) != 0 && changing.count(lastApplied) == 0 &&
      applied != 1) {
    fail("the profile applied last does not load");
  }
  Profile next = OfficeProfile("After");
  Put(next.adapters[1].Metric, "5");
  if (CNetInfoManage().SaveProfileInfoToRegistry(&next.env, next.adapters, 1) != 1) {
    fail("a new save fails");
  } else {
    if (before.count(next.env.nProfileKey) != 0 && changing.count(next.env.nProfileKey) == 0)
      fail("a new save took a stored number");
    Profile loaded;
    if (Load(next.env.nProfileKey, loaded) != 1) fail("the new profile does not load");
    std::vector<NameIndex> after(static_cast<std::size_t>(retrieve.GetProfileCount()));
    bool found = false;
    if (!after.empty() &&
        retrieve.GetNameIndexInfo(after.data(), static_cast<int>(after.size())) == 1) {
      for (const NameIndex& e : after) found = found || e.nProfileKey == next.env.nProfileKey;
    }
    if (!found) fail("the new profile is not listed");
  }
  return damage;
}

class CrashSweepTest : public SimTest {};

TEST_F(CrashSweepTest, EveryWriterCutOffAfterEachWriteLeavesAStoreThatServes) {
  const std::string base = BaseStore();
  const std::string empty = Machine::Demo()->ToJsonText();
  std::size_t kills = 0;
  std::size_t damaged = 0;
  for (const Writer& writer : Writers()) {
    const std::string& start = writer.emptyStore ? empty : base;
    // The profiles as they load before, and the writer's number of writes.
    std::map<int, Profile> before;
    Use(Machine::FromJsonText(start));
    if (!writer.emptyStore) {
      for (int n : {0, 1, 2}) ASSERT_EQ(Load(n, before[n]), 1) << writer.name;
    }
    Use(Machine::FromJsonText(start));
    const std::uint64_t first = machine().RegistryWrites();
    writer.run();
    const std::uint64_t writes = machine().RegistryWrites() - first;
    ASSERT_GT(writes, 0u) << writer.name;
    for (std::uint64_t k = 1; k <= writes; ++k) {
      Use(Machine::FromJsonText(start));
      std::optional<std::string> cut;
      Machine& m = machine();
      const std::uint64_t from = m.RegistryWrites();
      m.ObserveRegistryWrites([&](std::uint64_t n) {
        if (n - from == k && !cut) cut = m.ToJsonText();
      });
      writer.run();
      machine().ObserveRegistryWrites(nullptr);
      ASSERT_TRUE(cut) << writer.name << " after write " << k;
      Use(Machine::FromJsonText(*cut));
      // The killed writer held the store's mutex: the next writer takes it over.
      machine().mutex_state().mutexes["Local\\Corvane.Nebrin.ProfileStore"].holder =
          nebrin::sim::MutexHolder::Abandoned;
      ++kills;
      const auto damage = Damage(before, writer.changing, writer.emptyStore ? -1 : 1);
      if (!damage.empty()) ++damaged;
      for (const std::string& d : damage)
        ADD_FAILURE() << writer.name << " cut off after write " << k << ": " << d;
    }
  }
  std::cout << "crash sweep: " << kills << " kills, " << damaged << " stores damaged\n";
  EXPECT_EQ(damaged, 0u);
}

}  // namespace
