#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "store/store_fixture.h"

namespace {

using namespace nebrin::testing;
using nebrin::sim::kHkcu;

class CatalogueTest : public StoreTest {
 protected:
  int NameFree(const std::string& name) {
    std::u16string wide(name.begin(), name.end());
    return retrieve.CanUseThisName(reinterpret_cast<NebrinChar*>(wide.data()));
  }
  int NameFreeForEdit(const std::string& name, int editing) {
    std::u16string wide(name.begin(), name.end());
    EnvInfoStr env{};
    env.nProfileKey = editing;
    return retrieve.CanUseThisNameEdit(reinterpret_cast<NebrinChar*>(wide.data()), &env);
  }
};

TEST_F(CatalogueTest, WithoutAStoreNothingIsListedAndEveryNameIsFree) {
  NameIndex entries[2];
  Profile p;
  EXPECT_EQ(retrieve.GetProfileCount(), 0);
  EXPECT_EQ(retrieve.GetNameIndexInfo(entries, 2), 0);
  EXPECT_EQ(NameFree("Office"), 1);
  EXPECT_EQ(retrieve.GetCurrentProfileInfo(&p.env, p.adapters), 0);
}

// Numbering has gaps after deletions; keys at or above "ProfileCount" are not part of the list.
TEST_F(CatalogueTest, ListsProfilesBelowProfileCountInNumberOrder) {
  SeedStore(machine(), "5", {0, 2, 4, 7});
  EXPECT_EQ(retrieve.GetProfileCount(), 3);

  NameIndex entries[10];
  std::memset(entries, 0x5A, sizeof(entries));
  ASSERT_EQ(retrieve.GetNameIndexInfo(entries, 10), 1);
  for (int e = 0; e < 3; ++e) {
    EXPECT_EQ(entries[e].nProfileKey, 2 * e);
    EXPECT_EQ(entries[e].IconIndex, 2 * e + 10);
    EXPECT_EQ(Text(entries[e].ProfileName), "Profile " + std::to_string(2 * e));
  }
  EXPECT_EQ(entries[3].nProfileKey, 0x5A5A5A5A) << "no fourth entry";

  std::memset(entries, 0x5A, sizeof(entries));
  ASSERT_EQ(retrieve.GetNameIndexInfo(entries, 2), 1);
  EXPECT_EQ(entries[1].nProfileKey, 2);
  EXPECT_EQ(entries[2].nProfileKey, 0x5A5A5A5A) << "capacity respected";
  EXPECT_EQ(retrieve.GetNameIndexInfo(nullptr, 0), 1);

  // The name checks still see the profile above "ProfileCount".
  EXPECT_EQ(NameFree("Profile 7"), 0);
}

// Another program left "ProfileCount" far above the profiles (up to 2147483647, hours of key
// openings on a real registry). The count and the list find what a walk over every number finds,
// without a key opening per number: after a long run of numbers without a key, only the numbers
// a subkey is named by are opened ("0300" names none).
TEST_F(CatalogueTest, AProfileCountFarAboveTheProfilesIsNotWalkedNumberByNumber) {
  SeedStore(machine(), "100000", {0, 1, 300, 70000});
  machine().CreateKeyPath(kHkcu, kRoot + "\\0300");
  machine().ResetCounts();
  EXPECT_EQ(retrieve.GetProfileCount(), 4);
  EXPECT_LT(machine().CallCount(nebrin::sim::Service::Registry), 100u);

  NameIndex entries[5];
  std::memset(entries, 0x5A, sizeof(entries));
  ASSERT_EQ(retrieve.GetNameIndexInfo(entries, 5), 1);
  const int listed[] = {0, 1, 300, 70000};
  for (int e = 0; e < 4; ++e) EXPECT_EQ(entries[e].nProfileKey, listed[e]);
  EXPECT_EQ(entries[4].nProfileKey, 0x5A5A5A5A);
  std::memset(entries, 0x5A, sizeof(entries));
  ASSERT_EQ(retrieve.GetNameIndexInfo(entries, 3), 1);
  EXPECT_EQ(entries[2].nProfileKey, 300);
  EXPECT_EQ(entries[3].nProfileKey, 0x5A5A5A5A);

  // A root that cannot be listed is walked number by number, as far as "ProfileCount" says:
  // reading the count takes two calls, numbers 0 to 65 one each (64 misses from 2 on), then the
  // listing fails.
  machine().SetString(kHkcu, kRoot, "ProfileCount", "400");
  machine().FailServiceCall(nebrin::sim::Service::Registry, 2 + 66 + 1,
                            nebrin::platform::kAccessDenied);
  machine().ResetCounts();
  EXPECT_EQ(retrieve.GetProfileCount(), 3);
  EXPECT_GE(machine().CallCount(nebrin::sim::Service::Registry), 2u + 400u);
}

TEST_F(CatalogueTest, ListEntriesAreBoundedByTheirFields) {
  SeedStore(machine(), "2", {0, 1});
  machine().SetString(kHkcu, ProfilePath(0), "ProfileName", std::string(99, 'n'));
  NameIndex entries[2];
  ASSERT_EQ(retrieve.GetNameIndexInfo(entries, 2), 1);
  EXPECT_EQ(Text(entries[0].ProfileName), std::string(49, 'n'));
  EXPECT_EQ(entries[1].nProfileKey, 1);

}

// Every icon the writer can store reads back; a profile whose name or icon cannot be read is
// listed as damaged (empty name, icon -1) under its number, and the rest of the list is intact.
TEST_F(CatalogueTest, DamagedProfilesAreListedAsDamaged) {
  using nebrin::sim::RegValue;
  struct Case {
    const char* name;
    std::function<void(nebrin::sim::Machine&)> damage;
    std::string listedName;  // of profile 1
    int icon;
  };
  const Case cases[] = {
      {"largest icon", [](auto& m) { m.SetString(kHkcu, ProfilePath(1), "IconIndex", "2147483647"); },
       "Profile 1", 2147483647},
      {"smallest icon", [](auto& m) { m.SetString(kHkcu, ProfilePath(1), "IconIndex", "-2147483648"); },
       "Profile 1", -2147483647 - 1},
      {"no name", [](auto& m) { m.RemoveValue(kHkcu, ProfilePath(1), "ProfileName"); }, "", -1},
      {"no icon", [](auto& m) { m.RemoveValue(kHkcu, ProfilePath(1), "IconIndex"); }, "", -1},
      {"name of another type",
       [](auto& m) { m.SetValue(kHkcu, ProfilePath(1), "ProfileName", RegValue::Dword(7)); }, "", -1},
      {"name longer than the list reads",
       [](auto& m) { m.SetString(kHkcu, ProfilePath(1), "ProfileName", std::string(100, 'n')); },
       "", -1},
      {"icon longer than a number",
       [](auto& m) { m.SetString(kHkcu, ProfilePath(1), "IconIndex", std::string(100, '1')); }, "",
       -1},
  };
  for (const Case& c : cases) {
    Use(std::make_shared<nebrin::sim::Machine>());
    SeedStore(machine(), "3", {0, 1, 2});
    c.damage(machine());
    EXPECT_EQ(retrieve.GetProfileCount(), 3) << c.name;
    NameIndex entries[3];
    ASSERT_EQ(retrieve.GetNameIndexInfo(entries, 3), 1) << c.name;
    EXPECT_EQ(Text(entries[0].ProfileName), "Profile 0") << c.name;
    EXPECT_EQ(entries[1].nProfileKey, 1) << c.name;
    EXPECT_EQ(Text(entries[1].ProfileName), c.listedName) << c.name;
    EXPECT_EQ(entries[1].IconIndex, c.icon) << c.name;
    EXPECT_EQ(Text(entries[2].ProfileName), "Profile 2") << c.name;
    EXPECT_EQ(entries[2].nProfileKey, 2) << c.name;
  }
}

TEST_F(CatalogueTest, NamesAreComparedExactly) {
  SeedStore(machine(), "2", {0});
  SeedProfile(machine(), 1, "Home");
  SeedProfile(machine(), 0, "Office");
  machine().CreateKeyPath(kHkcu, kRoot + "\\stray");  // a subkey without a name is skipped
  struct Case {
    const char* name;
    int free;
  };
  for (const Case& c : {Case{"Office", 0}, Case{"Home", 0}, Case{"office", 1}, Case{"Office ", 1},
                        Case{" Office", 1}, Case{"Offic", 1}, Case{"", 1}}) {
    EXPECT_EQ(NameFree(c.name), c.free) << '"' << c.name << '"';
  }
  EXPECT_EQ(retrieve.CanUseThisName(nullptr), 1);
}

// An index whose name cannot be read is passed over, never the end of the walk: the names after
// it are still found.
TEST_F(CatalogueTest, NameChecksWalkPastSubkeysTheyCannotRead) {
  struct Case {
    const char* name;
    bool longName;              // a subkey name too long for the room, before "1"
    std::uint64_t failingCall;  // 0: none; else the registry call that fails
  };
  const Case cases[] = {
      {"name too long for the room", true, 0},
      {"enumeration error", false, 2},  // call 2: the subkey at index 0
  };
  for (const Case& c : cases) {
    Use(std::make_shared<nebrin::sim::Machine>());
    SeedStore(machine(), "2", {0, 1});
    SeedProfile(machine(), 1, "Home");
    if (c.longName) machine().CreateKeyPath(kHkcu, kRoot + "\\0" + std::string(99, 'z'));
    for (int edit : {-2, 0}) {  // -2: CanUseThisName
      machine().ResetCounts();
      if (c.failingCall != 0) {
        machine().FailServiceCall(nebrin::sim::Service::Registry, c.failingCall,
                                  nebrin::platform::kNotEnoughMemory);
      }
      EXPECT_EQ(edit == -2 ? NameFree("Home") : NameFreeForEdit("Home", edit), 0) << c.name;
      machine().ClearFaults();
    }
  }
}

TEST_F(CatalogueTest, EditedProfileMayKeepItsOwnName) {
  SeedStore(machine(), "2", {});
  SeedProfile(machine(), 0, "Office");
  SeedProfile(machine(), 1, "Home");
  EXPECT_EQ(NameFreeForEdit("Office", 0), 1);
  EXPECT_EQ(NameFreeForEdit("Home", 0), 0);
  EXPECT_EQ(NameFreeForEdit("Office", 1), 0);
  EXPECT_EQ(NameFreeForEdit("Office", -1), 0);
  EXPECT_EQ(NameFreeForEdit("Lab", 0), 1);
}

}  // namespace
