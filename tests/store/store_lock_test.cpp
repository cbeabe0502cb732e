// One writer of the store at a time: every writer holds the session's mutex, gives up without
// writing when another process keeps it or Windows refuses it, and takes over one whose holder
// died. Another program that stores without the mutex can take a number at the same moment: the
// store still never hides or jams a profile.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "store/store_fixture.h"

namespace {

using namespace nebrin::testing;
using nebrin::sim::kHkcu;
using nebrin::sim::Machine;
using nebrin::sim::MutexHolder;
using nebrin::sim::NamedObjectRefusal;

const std::string kMutex = "Local\\Corvane.Nebrin.ProfileStore";

class StoreLockTest : public StoreTest {
 protected:
  int SaveNew(Profile& p) { return manage.SaveProfileInfoToRegistry(&p.env, p.adapters, 1); }
  std::vector<int> Listed() {
    std::vector<NameIndex> entries(static_cast<std::size_t>(retrieve.GetProfileCount()));
    std::vector<int> numbers;
    if (!entries.empty() &&
        retrieve.GetNameIndexInfo(entries.data(), static_cast<int>(entries.size())) != 1) {
      return {-99};
    }
    for (const NameIndex& e : entries) numbers.push_back(e.nProfileKey);
    return numbers;
  }
};

// Every member that writes the store, with a stored profile 0 of two adapters to work on.
std::vector<std::pair<std::string, std::function<int()>>> StoreWriters() {
  auto saved = [] {
    Profile p = OfficeProfile();
    Put(p.adapters[1].Metric, "20");
    return p;
  };
  return {
      {"new save",
       [=] {
         Profile p = saved();
         return CNetInfoManage().SaveProfileInfoToRegistry(&p.env, p.adapters, 1);
       }},
      {"rewrite",
       [=] {
         Profile p = saved();
         p.env.nProfileKey = 0;
         return CNetInfoManage().SaveProfileInfoToRegistry(&p.env, p.adapters, 0);
       }},
      {"profile values",
       [=] {
         Profile p = saved();
         return CNetInfoManage().SaveValueForEachProfile(&p.env, 0);
       }},
      {"adapter values",
       [=] {
         Profile p = saved();
         return CNetInfoManage().SaveValueForEachAdapter(p.adapters, 0, 1);
       }},
      {"rename",
       [=] {
         Profile p = saved();
         p.env.nProfileKey = 0;
         return CNetInfoManage().SaveNameOrPrinter(&p.env);
       }},
      {"delete", [] { return CNetInfoManage().DeleteSelectProfile(0); }},
      {"delete adapters", [] { return CNetInfoManage().DeleteSelectProfileAdapter(0); }},
      {"count", [] { return CNetInfoManage().SetProfileCount(); }},
      {"delete all", [] { return CNetInfoManage().DeleteAllProfile(); }},
      {"delete the store", [] { return CNetInfoManage().DeleteNebrinKey(); }},
      {"last applied", [] { return CNetInfoManage().SetLastProfileNo(0); }},
      {"machine-wide key",
       [=] {
         Profile p = saved();
         return CNetInfoManage().MakeHKLMNebrinKey(&p.env);
       }},
      {"machine-wide key removed", [] { return CNetInfoManage().DeleteHKLMNebrinKey(); }},
  };
}

void SeedDemoStore(Machine& m) {
  SeedStore(m, "1", {0}, 2);
  m.SetString(kHkcu, kRoot, "LastProfileNo", "0");
  m.SetString(nebrin::sim::kHklm, kMachineWide, "SSID", "adhoc");
}

// Whoever keeps the mutex, or makes Windows refuse it, every writer gives up without writing;
// the lease refresh of a load still fills the record and leaves the store as it was.
TEST_F(StoreLockTest, WritersChangeNothingWithoutTheMutex) {
  struct Case {
    const char* name;
    std::function<void(Machine&)> block;
    std::uint32_t waited;  // virtual milliseconds a writer waits
  };
  const Case cases[] = {
      {"another process holds it",
       [](Machine& m) { m.mutex_state().mutexes[kMutex].holder = MutexHolder::OtherProcess; },
       60000},
      {"the name is an event's",
       [](Machine& m) { m.mutex_state().refusals[kMutex] = NamedObjectRefusal::OtherKind; }, 0},
      {"another user's mutex, default security",
       [](Machine& m) { m.mutex_state().refusals[kMutex] = NamedObjectRefusal::AccessDenied; }, 0},
  };
  for (const Case& c : cases) {
    for (const auto& [name, write] : StoreWriters()) {
      Use(Machine::Demo());
      SeedDemoStore(machine());
      c.block(machine());
      const auto hkcu = Subtree(machine(), kHkcu, "Software");
      const auto hklm = Subtree(machine(), nebrin::sim::kHklm, kMachineWide);
      const std::uint32_t ticks = machine().tick_count();
      EXPECT_EQ(write(), 0) << c.name << ": " << name;
      EXPECT_EQ(Subtree(machine(), kHkcu, "Software"), hkcu) << c.name << ": " << name;
      EXPECT_EQ(Subtree(machine(), nebrin::sim::kHklm, kMachineWide), hklm)
          << c.name << ": " << name;
      EXPECT_EQ(machine().tick_count() - ticks, c.waited) << c.name << ": " << name;
    }
    Use(Machine::Demo());
    Profile p = OfficeProfile();
    Put(p.adapters[1].Metric, "20");
    ASSERT_EQ(SaveNew(p), 1);
    machine().SetString(kHkcu, AdapterPath(0, 0), "IpAddressList", "1.2.3.4");
    c.block(machine());
    Profile loaded;
    CCommonFtn().InitStructure(&loaded.env, loaded.adapters);
    EXPECT_EQ(retrieve.GetInfoFromRegistry(0, &loaded.env, loaded.adapters), 1) << c.name;
    EXPECT_EQ(Text(loaded.adapters[0].IpAddressList), "192.168.1.34") << c.name;  // the lease
    EXPECT_EQ(Value(AdapterPath(0, 0), "IpAddressList"), "1.2.3.4") << c.name;
  }
}

// Another user's mutex that grants this user only waiting and releasing is opened with those
// rights: the writer takes its turn and releases it.
TEST_F(StoreLockTest, AnotherUsersMutexOpenedForWaitingAndReleasing) {
  Use(Machine::Demo());
  machine().mutex_state().refusals[kMutex] = NamedObjectRefusal::FullAccessDenied;
  machine().mutex_state().mutexes[kMutex].holder = MutexHolder::OtherProcess;
  Profile p = OfficeProfile();
  Put(p.adapters[1].Metric, "20");
  EXPECT_EQ(SaveNew(p), 0) << "its holder keeps it";
  machine().mutex_state().mutexes[kMutex].holder = MutexHolder::None;
  EXPECT_EQ(SaveNew(p), 1);
  EXPECT_EQ(machine().mutex_state().mutexes[kMutex].holder, MutexHolder::None);
  EXPECT_EQ(machine().OpenHandles(), 0u);
}

// A machine-wide key that is not there is gone without a writer's turn.
TEST_F(StoreLockTest, NoMachineWideKeyNeedsNoTurn) {
  machine().mutex_state().mutexes[kMutex].holder = MutexHolder::OtherProcess;
  const std::uint32_t ticks = machine().tick_count();
  EXPECT_EQ(manage.DeleteHKLMNebrinKey(), 1);
  EXPECT_EQ(machine().tick_count(), ticks);
}

// A holder that ended without releasing the mutex leaves it abandoned: the next writer takes it
// over and writes; once done, nobody holds it.
TEST_F(StoreLockTest, AnAbandonedMutexIsTakenOver) {
  Use(Machine::Demo());
  SeedDemoStore(machine());
  machine().mutex_state().mutexes[kMutex].holder = MutexHolder::Abandoned;
  machine().ResetCounts();
  Profile p = OfficeProfile("New");
  Put(p.adapters[1].Metric, "20");
  EXPECT_EQ(SaveNew(p), 1);
  EXPECT_EQ(p.env.nProfileKey, 1);
  EXPECT_EQ(machine().mutex_state().mutexes.at(kMutex).holder, MutexHolder::None);
  EXPECT_EQ(machine().CallCount(nebrin::sim::Service::Mutexes), 3u)
      << "taken once: opened, waited for and released (closing is not counted, as with keys)";
  machine().ResetCounts();
  EXPECT_EQ(manage.DeleteAllProfile(), 1);
  EXPECT_EQ(machine().CallCount(nebrin::sim::Service::Mutexes), 3u);
}

// Another program that stores without the mutex takes the number this save took, between its
// "ProfileCount" and its profile key: the save answers 0 and leaves that profile and the count
// alone, with its record naming the number; the other profile stays listed and the next save
// takes the number after it.
TEST_F(StoreLockTest, ASaveThatLosesTheNumberLeavesTheWinnerVisible) {
  SeedStore(machine(), "2", {0, 1}, 1);
  Machine& m = machine();
  const std::uint64_t from = m.RegistryWrites();
  m.ObserveRegistryWrites([&](std::uint64_t n) {
    if (n - from != 1) return;
    m.SetString(kHkcu, kRoot, "ProfileCount", "3");
    SeedProfile(m, 2, "Winner", 1);
  });
  Profile p = OfficeProfile("Loser");
  Put(p.adapters[1].Metric, "20");
  EXPECT_EQ(SaveNew(p), 0);
  m.ObserveRegistryWrites(nullptr);
  EXPECT_EQ(p.env.nProfileKey, 2);
  EXPECT_EQ(Value(ProfilePath(2), "ProfileName"), "Winner");
  EXPECT_EQ(Value(kRoot, "ProfileCount"), "3");
  EXPECT_EQ(Listed(), (std::vector<int>{0, 1, 2}));
  Profile again = OfficeProfile("Loser");
  Put(again.adapters[1].Metric, "20");
  EXPECT_EQ(SaveNew(again), 1);
  EXPECT_EQ(again.env.nProfileKey, 3);
  EXPECT_EQ(Listed(), (std::vector<int>{0, 1, 2, 3}));
}

// A save that fails after taking its number puts "ProfileCount" back only while no profile at or
// above that number exists: one another program stored meanwhile stays visible, whether or not
// that program moved the count on.
TEST_F(StoreLockTest, ATakenBackSaveNeverHidesAnotherProgramsProfile) {
  struct Case {
    const char* name;
    const char* foreignCount;  // what the other program wrote to "ProfileCount", if anything
    int foreignNumber;         // the profile it stored, -1 for none
    std::string countAfter;
    int next;
  };
  for (const Case& c :
       {Case{"nobody else", nullptr, -1, "2", 2},
        Case{"a profile stored meanwhile", "4", 3, "4", 4},
        Case{"a profile stored, the count left as the save wrote it", nullptr, 3, "3", 4}}) {
    Use(Machine::Demo());
    SeedStore(machine(), "2", {0, 1}, 1);
    Machine& m = machine();
    const std::uint64_t from = m.RegistryWrites();
    m.ObserveRegistryWrites([&](std::uint64_t n) {
      if (n - from != 2) return;
      if (c.foreignCount != nullptr) m.SetString(kHkcu, kRoot, "ProfileCount", c.foreignCount);
      if (c.foreignNumber >= 0) SeedProfile(m, c.foreignNumber, "Meanwhile", 0);
    });
    // A static adapter without a metric on an adapter the machine lacks cannot be stored.
    Profile p = OfficeProfile("Fails");
    Put(p.adapters[1].AdapterName, "{00000000-0000-0000-0000-000000000000}");
    EXPECT_EQ(SaveNew(p), 0) << c.name;
    m.ObserveRegistryWrites(nullptr);
    EXPECT_FALSE(m.KeyExists(kHkcu, ProfilePath(2))) << c.name;
    EXPECT_EQ(Value(kRoot, "ProfileCount"), c.countAfter) << c.name;
    Profile next = OfficeProfile("Next");
    next.env.AdapterCount = 0;
    EXPECT_EQ(SaveNew(next), 1) << c.name;
    EXPECT_EQ(next.env.nProfileKey, c.next) << c.name;
  }
}

// "ProfileCount" behind a stored profile (an older program's taking back, a write cut off): the
// save takes the number after the highest stored one, so the store never jams and the profile
// beyond the count is listed again.
TEST_F(StoreLockTest, ACountBehindAStoredProfileIsCaughtUp) {
  SeedStore(machine(), "1", {0, 1, 4}, 0);
  EXPECT_EQ(Listed(), (std::vector<int>{0}));
  Profile p = OfficeProfile("New");
  p.env.AdapterCount = 0;
  EXPECT_EQ(SaveNew(p), 1);
  EXPECT_EQ(p.env.nProfileKey, 5);
  EXPECT_EQ(Value(kRoot, "ProfileCount"), "6");
  EXPECT_EQ(Listed(), (std::vector<int>{0, 1, 4, 5}));
}

}  // namespace
