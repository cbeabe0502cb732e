#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/store_fixture.h"

namespace {

using namespace nebrin::testing;
using nebrin::sim::kHkcu;
using nebrin::sim::kHklm;

using Names = std::vector<std::string>;

class DeletionTest : public StoreTest {
 protected:
  // The number the next new profile receives.
  int NextNumber() {
    Profile p = OfficeProfile("next");
    p.env.AdapterCount = 0;
    EXPECT_EQ(manage.SaveProfileInfoToRegistry(&p.env, p.adapters, 1), 1);
    return p.env.nProfileKey;
  }
};

TEST_F(DeletionTest, DeletingLeavesGapsAndRecountsProfileCount) {
  struct Case {
    std::vector<int> stored;
    int deleted;
    int result;
    Names left;
    std::string countAfter;
    int next;
  };
  const Case cases[] = {
      {{0, 1, 2}, 2, 1, {"0", "1"}, "2", 2},
      {{0, 1, 2}, 1, 1, {"0", "2"}, "3", 3},
      {{0, 1, 2}, 0, 1, {"1", "2"}, "3", 3},
      {{0, 1, 2}, 5, 0, {"0", "1", "2"}, "3", 3},
      {{0}, 0, 1, {}, "1", 1},
      {{3, 7}, 7, 1, {"3"}, "4", 4},
  };
  for (const Case& c : cases) {
    Use(std::make_shared<nebrin::sim::Machine>());
    SeedStore(machine(), "3", c.stored, 2);
    EXPECT_EQ(manage.DeleteSelectProfile(c.deleted), c.result) << "delete " << c.deleted;
    EXPECT_EQ(Subkeys(kRoot), c.left) << "delete " << c.deleted;
    EXPECT_EQ(Value(kRoot, "ProfileCount"), c.countAfter) << "delete " << c.deleted;
    EXPECT_EQ(NextNumber(), c.next) << "delete " << c.deleted;
  }
}

TEST_F(DeletionTest, AdapterKeysGoFirst) {
  SeedStore(machine(), "2", {0, 1}, 3);
  EXPECT_EQ(manage.DeleteSelectProfileAdapter(0), 1);
  EXPECT_TRUE(Subkeys(ProfilePath(0)).empty());
  EXPECT_EQ(Value(ProfilePath(0), "ProfileName"), "Profile 0");
  EXPECT_EQ(manage.DeleteSelectProfileAdapter(0), 1) << "no adapter keys left";
  EXPECT_EQ(manage.DeleteSelectProfileAdapter(4), 0);
  // An adapter key with a subkey of its own cannot be deleted.
  machine().CreateKeyPath(kHkcu, AdapterPath(1, 2) + "\\extra");
  EXPECT_EQ(manage.DeleteSelectProfile(1), 0);
  EXPECT_TRUE(machine().KeyExists(kHkcu, AdapterPath(1, 2)));
}

TEST_F(DeletionTest, CountProfileKeyIsTheHighestNumberPresent) {
  EXPECT_EQ(manage.CountProfileKey(), 0);
  EXPECT_EQ(manage.SetProfileCount(), 1) << "no store root: nothing to update";
  EXPECT_FALSE(machine().KeyExists(kHkcu, kRoot));
  SeedStore(machine(), "9", {});
  EXPECT_EQ(manage.CountProfileKey(), 0);
  ASSERT_EQ(manage.SetProfileCount(), 1);
  EXPECT_EQ(Value(kRoot, "ProfileCount"), "1");
  SeedStore(machine(), "9", {0, 3, 7});
  machine().CreateKeyPath(kHkcu, kRoot + "\\-4");
  EXPECT_EQ(manage.CountProfileKey(), 7);
  ASSERT_EQ(manage.SetProfileCount(), 1);
  EXPECT_EQ(Value(kRoot, "ProfileCount"), "8");
}

// "ProfileCount" is written only from a walk that saw every profile key, and never below a number
// in use; otherwise SetProfileCount answers 0 and writes nothing.
TEST_F(DeletionTest, SetProfileCountWritesOnlyFromACompleteWalk) {
  const std::string longName = "1" + std::string(99, 'z');  // enumerated between "1" and "2"
  struct Case {
    const char* name;
    std::vector<std::string> extraKeys;
    std::uint64_t failingRegistryCall;  // 0: none
    int result;
    std::string countAfter;
  };
  const Case cases[] = {
      {"name too long for the room", {longName}, 0, 1, "4"},
      {"enumeration error", {}, 3, 0, "0"},  // call 3: the subkey at index 1
      {"highest number without successor", {"2147483647"}, 0, 0, "0"},
      {"highest number with successor", {"2147483646"}, 0, 1, "2147483647"},
  };
  for (const Case& c : cases) {
    Use(std::make_shared<nebrin::sim::Machine>());
    SeedStore(machine(), "0", {0, 1, 2, 3});
    for (const auto& key : c.extraKeys) machine().CreateKeyPath(kHkcu, kRoot + "\\" + key);
    machine().ResetCounts();
    if (c.failingRegistryCall != 0) {
      machine().FailServiceCall(nebrin::sim::Service::Registry, c.failingRegistryCall,
                                nebrin::platform::kNotEnoughMemory);
    }
    EXPECT_EQ(manage.SetProfileCount(), c.result) << c.name;
    machine().ClearFaults();
    EXPECT_EQ(Value(kRoot, "ProfileCount"), c.countAfter) << c.name;
  }
  // A root that exists but does not open is not a missing one.
  machine().ResetCounts();
  machine().FailCall(1, nebrin::platform::kAccessDenied);
  EXPECT_EQ(manage.SetProfileCount(), 0);
}

TEST_F(DeletionTest, DeleteAllProfileEmptiesTheStoreRoot) {
  EXPECT_EQ(manage.DeleteAllProfile(), 0) << "no store root";
  SeedStore(machine(), "2", {});
  EXPECT_EQ(manage.DeleteAllProfile(), 1);
  SeedStore(machine(), "12", {0, 1, 10, 11}, 2);
  machine().SetString(kHkcu, kRoot, "LastProfileNo", "1");
  ASSERT_EQ(manage.DeleteAllProfile(), 1);
  EXPECT_TRUE(Subkeys(kRoot).empty());
  EXPECT_EQ(Value(kRoot, "ProfileCount"), "1");
  EXPECT_EQ(Value(kRoot, "LastProfileNo"), "1");
  // A subkey whose name is no profile number stops the deletion.
  machine().CreateKeyPath(kHkcu, kRoot + "\\stray");
  EXPECT_EQ(manage.DeleteAllProfile(), 0);
}

TEST_F(DeletionTest, DeleteNebrinKeyRemovesBothStores) {
  struct Case {
    const char* name;
    bool machineWideKey;
    bool administrator;
    int result;
    bool machineWideLeft;
  };
  const Case cases[] = {
      {"both keys", true, true, 1, false},
      {"no machine-wide key", false, true, 0, false},
      {"no administrative rights", true, false, 0, true},
  };
  for (const Case& c : cases) {
    Use(std::make_shared<nebrin::sim::Machine>());
    SeedStore(machine(), "2", {0, 1}, 1);
    machine().SetString(kHkcu, kRoot, "LastProfileNo", "0");
    if (c.machineWideKey) machine().SetString(kHklm, kMachineWide, "SSID", "adhoc");
    machine().system_state().administrator = c.administrator;
    EXPECT_EQ(manage.DeleteNebrinKey(), c.result) << c.name;
    EXPECT_FALSE(machine().KeyExists(kHkcu, kRoot)) << c.name;
    EXPECT_TRUE(machine().KeyExists(kHkcu, "Software\\Corvane")) << c.name;
    EXPECT_EQ(machine().KeyExists(kHklm, kMachineWide), c.machineWideLeft) << c.name;
  }
}

TEST_F(DeletionTest, MachineWideKeyPublishesThePrivateWirelessNetwork) {
  struct Case {
    int keyUse;
    const char* enabled;
  };
  for (const Case& c : {Case{1, "yes"}, Case{0, "no"}, Case{2, "no"}}) {
    Profile p = OfficeProfile();
    Put(p.env.strWLANConnectionName, "adhoc");
    Put(p.env.strWLANPassWord, "12345");
    Put(p.env.strPrivateDevGUID, kWirelessGuid);
    p.env.bWLANWebKeyUse = c.keyUse;
    ASSERT_EQ(manage.MakeHKLMNebrinKey(&p.env), 1);
    EXPECT_EQ(machine().ValueNames(kHklm, kMachineWide),
              (Names{"SSID", "WEPKEY", "KEYENABLE", "GUID"}));
    EXPECT_EQ(machine().GetValue(kHklm, kMachineWide, "SSID")->bytes, StoredBytes("adhoc"));
    EXPECT_EQ(machine().GetString(kHklm, kMachineWide, "WEPKEY"), "12345");
    EXPECT_EQ(machine().GetString(kHklm, kMachineWide, "KEYENABLE"), c.enabled);
    EXPECT_EQ(machine().GetString(kHklm, kMachineWide, "GUID"), kWirelessGuid);
  }
  EXPECT_EQ(manage.DeleteHKLMNebrinKey(), 1);
  EXPECT_FALSE(machine().KeyExists(kHklm, kMachineWide));
  EXPECT_EQ(manage.DeleteHKLMNebrinKey(), 1) << "a key that never existed is gone";
}

TEST_F(DeletionTest, MachineWideKeyNeedsAdministrativeRights) {
  Profile p = OfficeProfile();
  machine().system_state().administrator = false;
  EXPECT_EQ(manage.MakeHKLMNebrinKey(&p.env), 0);
  EXPECT_FALSE(machine().KeyExists(kHklm, kMachineWide));
  machine().SetString(kHklm, kMachineWide, "SSID", "adhoc");
  EXPECT_EQ(manage.MakeHKLMNebrinKey(&p.env), 0);
  EXPECT_EQ(machine().GetString(kHklm, kMachineWide, "SSID"), "adhoc");
  EXPECT_EQ(manage.DeleteHKLMNebrinKey(), 0);
  EXPECT_TRUE(machine().KeyExists(kHklm, kMachineWide));
  // A key that is there but does not open is not gone.
  machine().system_state().administrator = true;
  machine().ResetCounts();
  machine().FailCall(1, nebrin::platform::kAccessDenied);
  EXPECT_EQ(manage.DeleteHKLMNebrinKey(), 0);
  EXPECT_TRUE(machine().KeyExists(kHklm, kMachineWide));
}

}  // namespace
