// The simulated registry against the Win32 semantics the library relies on.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/sim/machine.h"

namespace nebrin::sim {
namespace {

using platform::Access;
using platform::kAccessDenied;
using platform::KeyHandle;
using platform::kFileNotFound;
using platform::kInvalidHandle;
using platform::kKeyDeleted;
using platform::kMoreData;
using platform::kNoKey;
using platform::kNoMoreItems;
using platform::kSuccess;

class SimRegistryTest : public ::testing::Test {
 protected:
  platform::Registry& reg() { return machine.registry(); }

  KeyHandle Create(KeyHandle parent, const std::u16string& path, Access access = Access::All) {
    KeyHandle key = kNoKey;
    bool created = false;
    EXPECT_EQ(reg().CreateKey(parent, path, access, key, created), kSuccess);
    return key;
  }
  KeyHandle Open(KeyHandle parent, const std::u16string& path, Access access = Access::All) {
    KeyHandle key = kNoKey;
    EXPECT_EQ(reg().OpenKey(parent, path, access, key), kSuccess);
    return key;
  }
  Status SetBytes(KeyHandle key, const std::u16string& name, std::vector<std::uint8_t> bytes) {
    return reg().SetValue(key, name, RegType::Binary, bytes.data(),
                          static_cast<std::uint32_t>(bytes.size()));
  }
  std::vector<std::u16string> SubkeysOf(KeyHandle key) {
    std::vector<std::u16string> names;
    std::u16string name;
    for (std::uint32_t i = 0; reg().EnumKey(key, i, name) == kSuccess; ++i) names.push_back(name);
    return names;
  }
  std::vector<std::u16string> ValuesOf(KeyHandle key) {
    std::vector<std::u16string> names;
    std::u16string name;
    for (std::uint32_t i = 0; reg().EnumValue(key, i, name) == kSuccess; ++i) names.push_back(name);
    return names;
  }

  Machine machine;
};

TEST_F(SimRegistryTest, NamesAreCaseInsensitiveAndKeepTheirCase) {
  KeyHandle key = Create(kHkcu, u"Software\\NebrinTest");
  EXPECT_EQ(SetBytes(key, u"MixedCase", {1}), kSuccess);
  reg().CloseKey(key);

  KeyHandle again = Open(kHkcu, u"SOFTWARE\\nebrintest");
  RegType type{};
  std::uint32_t size = 0;
  EXPECT_EQ(reg().QueryValue(again, u"mixedcase", type, nullptr, size), kSuccess);
  // Setting it through another spelling replaces the data but keeps the first name.
  EXPECT_EQ(SetBytes(again, u"MIXEDCASE", {2, 3}), kSuccess);
  EXPECT_EQ(ValuesOf(again), std::vector<std::u16string>{u"MixedCase"});
  EXPECT_EQ(machine.GetValue(kHkcu, "software\\NEBRINTEST", "mixedCASE")->bytes,
            (std::vector<std::uint8_t>{2, 3}));
  EXPECT_EQ(SubkeysOf(kHkcu), std::vector<std::u16string>{u"Software"});
  reg().CloseKey(again);
}

TEST_F(SimRegistryTest, SubkeysEnumerateInCaseInsensitiveOrderValuesInCreationOrder) {
  KeyHandle key = Create(kHkcu, u"Order");
  // Case-sensitive ordering would give "A_", "Z", "a", "b".
  for (const char16_t* name : {u"b", u"A_", u"a", u"Z"}) reg().CloseKey(Create(key, name));
  EXPECT_EQ(SubkeysOf(key), (std::vector<std::u16string>{u"a", u"A_", u"b", u"Z"}));

  for (const char16_t* name : {u"zeta", u"Alpha", u"mid"})
    EXPECT_EQ(SetBytes(key, name, {}), kSuccess);
  EXPECT_EQ(reg().DeleteValue(key, u"ZETA"), kSuccess);
  EXPECT_EQ(SetBytes(key, u"zeta", {}), kSuccess);  // back at the end
  EXPECT_EQ(ValuesOf(key), (std::vector<std::u16string>{u"Alpha", u"mid", u"zeta"}));

  std::u16string name = u"stale";
  EXPECT_EQ(reg().EnumValue(key, 3, name), kNoMoreItems);
  EXPECT_EQ(reg().EnumKey(key, 4, name), kNoMoreItems);

  // The positions follow every deletion and creation, whichever index is asked for first.
  EXPECT_EQ(reg().DeleteKey(key, u"A_"), kSuccess);
  reg().CloseKey(Create(key, u"AA"));
  ASSERT_EQ(reg().EnumKey(key, 3, name), kSuccess);
  EXPECT_EQ(name, u"Z");
  ASSERT_EQ(reg().EnumKey(key, 1, name), kSuccess);
  EXPECT_EQ(name, u"AA");
  EXPECT_EQ(SubkeysOf(key), (std::vector<std::u16string>{u"a", u"AA", u"b", u"Z"}));
  reg().CloseKey(key);
}

TEST_F(SimRegistryTest, QueryValueReportsSizesAsRegQueryValueEx) {
  KeyHandle key = Create(kHkcu, u"Query");
  const std::vector<std::uint8_t> five{1, 2, 3, 4, 5};
  ASSERT_EQ(reg().SetValue(key, u"v", RegType::String, five.data(), 5), kSuccess);  // odd, no NUL
  ASSERT_EQ(reg().SetValue(key, u"", RegType::Dword, five.data(), 4), kSuccess);    // default value

  struct Case {
    const char* what;
    std::u16string name;
    bool withBuffer;
    std::uint32_t room;
    Status status;
    std::uint32_t sizeAfter;
  };
  const Case cases[] = {
      {"size only", u"v", false, 0, kSuccess, 5},
      {"too small", u"v", true, 4, kMoreData, 5},
      {"no room", u"v", true, 0, kMoreData, 5},
      {"exact", u"v", true, 5, kSuccess, 5},
      {"larger", u"v", true, 64, kSuccess, 5},
      {"default value", u"", true, 64, kSuccess, 4},
      {"missing", u"nope", true, 64, kFileNotFound, 64},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::uint8_t buffer[64] = {};
    std::uint32_t size = c.room;
    RegType type = RegType::None;
    EXPECT_EQ(reg().QueryValue(key, c.name, type, c.withBuffer ? buffer : nullptr, size), c.status);
    EXPECT_EQ(size, c.sizeAfter);
    if (c.status == kSuccess && c.withBuffer) {
      EXPECT_EQ(std::memcmp(buffer, five.data(), size), 0);
    }
    if (c.status != kFileNotFound) {
      EXPECT_EQ(type, c.name.empty() ? RegType::Dword : RegType::String);
    }
  }
  reg().CloseKey(key);
}

TEST_F(SimRegistryTest, CreateKeyMakesMissingParentsAndTellsWhetherItCreated) {
  KeyHandle key = kNoKey;
  bool created = false;
  EXPECT_EQ(reg().OpenKey(kHkcu, u"A\\B\\C", Access::Read, key), kFileNotFound);
  EXPECT_EQ(key, kNoKey);

  ASSERT_EQ(reg().CreateKey(kHkcu, u"A\\B\\C", Access::All, key, created), kSuccess);
  EXPECT_TRUE(created);
  reg().CloseKey(key);
  EXPECT_TRUE(machine.KeyExists(kHkcu, "A\\B"));
  ASSERT_EQ(reg().CreateKey(kHkcu, u"a\\b\\c", Access::All, key, created), kSuccess);
  EXPECT_FALSE(created);
  reg().CloseKey(key);
  ASSERT_EQ(reg().CreateKey(kHkcu, u"A\\B\\D", Access::All, key, created), kSuccess);
  EXPECT_TRUE(created);
  reg().CloseKey(key);
  EXPECT_EQ(machine.SubkeyNames(kHkcu, "A\\B"), (std::vector<std::string>{"C", "D"}));
}

TEST_F(SimRegistryTest, EmptyPathOpensTheParentAgain) {
  KeyHandle parent = Create(kHkcu, u"Self");
  ASSERT_EQ(SetBytes(parent, u"x", {7}), kSuccess);
  KeyHandle same = Open(parent, u"");
  EXPECT_NE(same, parent);
  EXPECT_EQ(machine.OpenHandles(), 2u);
  EXPECT_EQ(ValuesOf(same), std::vector<std::u16string>{u"x"});
  KeyHandle created = kNoKey;
  bool wasCreated = true;
  EXPECT_EQ(reg().CreateKey(parent, u"", Access::All, created, wasCreated), kSuccess);
  EXPECT_FALSE(wasCreated);
  for (KeyHandle k : {parent, same, created}) reg().CloseKey(k);
  EXPECT_EQ(machine.OpenHandles(), 0u);
}

TEST_F(SimRegistryTest, DeleteKeyRefusesKeysWithSubkeysAndMissingKeys) {
  machine.CreateKeyPath(kHkcu, "Tree\\Leaf");
  EXPECT_EQ(reg().DeleteKey(kHkcu, u"Tree"), kAccessDenied);
  EXPECT_EQ(reg().DeleteKey(kHkcu, u"Tree\\Nope"), kFileNotFound);
  EXPECT_EQ(reg().DeleteKey(kHkcu, u"tree\\LEAF"), kSuccess);
  EXPECT_FALSE(machine.KeyExists(kHkcu, "Tree\\Leaf"));
  EXPECT_EQ(reg().DeleteKey(kHkcu, u"Tree"), kSuccess);
  EXPECT_TRUE(machine.SubkeyNames(kHkcu, "").empty());
}

TEST_F(SimRegistryTest, HandlesOfADeletedKeyAnswerKeyDeleted) {
  KeyHandle doomed = Create(kHkcu, u"Doomed");
  ASSERT_EQ(SetBytes(doomed, u"v", {1}), kSuccess);
  ASSERT_EQ(reg().DeleteKey(kHkcu, u"Doomed"), kSuccess);

  RegType type{};
  std::uint32_t size = 0;
  std::u16string name;
  KeyHandle sub = kNoKey;
  bool created = false;
  EXPECT_EQ(reg().QueryValue(doomed, u"v", type, nullptr, size), kKeyDeleted);
  EXPECT_EQ(SetBytes(doomed, u"w", {1}), kKeyDeleted);
  EXPECT_EQ(reg().EnumValue(doomed, 0, name), kKeyDeleted);
  EXPECT_EQ(reg().CreateKey(doomed, u"Child", Access::All, sub, created), kKeyDeleted);
  EXPECT_FALSE(machine.KeyExists(kHkcu, "Doomed"));
  EXPECT_EQ(machine.OpenHandles(), 1u);
  reg().CloseKey(doomed);
  EXPECT_EQ(machine.OpenHandles(), 0u);

  // Removing a whole tree directly affects the open handles below it the same way.
  KeyHandle deep = Create(kHkcu, u"Top\\Deep");
  ASSERT_TRUE(machine.RemoveKeyTree(kHkcu, "Top"));
  EXPECT_EQ(reg().EnumKey(deep, 0, name), kKeyDeleted);
  reg().CloseKey(deep);
}

TEST_F(SimRegistryTest, UnknownAndClosedHandlesAreInvalid) {
  KeyHandle key = Create(kHkcu, u"Closed");
  reg().CloseKey(key);
  reg().CloseKey(key);  // closing twice is harmless
  RegType type{};
  std::uint32_t size = 0;
  std::u16string name;
  KeyHandle out = kNoKey;
  for (KeyHandle bad : {key, KeyHandle{0x1234}, kNoKey}) {
    EXPECT_EQ(reg().QueryValue(bad, u"v", type, nullptr, size), kInvalidHandle);
    EXPECT_EQ(reg().OpenKey(bad, u"", Access::Read, out), kInvalidHandle);
    EXPECT_EQ(reg().EnumKey(bad, 0, name), kInvalidHandle);
    EXPECT_EQ(reg().DeleteKey(bad, u"x"), kInvalidHandle);
  }
}

TEST_F(SimRegistryTest, HandleRightsLimitWhatItCanDo) {
  machine.SetString(kHkcu, "Rights\\Existing", "v", "keep");
  KeyHandle reader = Open(kHkcu, u"Rights", Access::Read);
  const std::uint8_t byte = 9;
  EXPECT_EQ(reg().SetValue(reader, u"v", RegType::Binary, &byte, 1), kAccessDenied);
  EXPECT_EQ(reg().DeleteValue(reader, u"v"), kAccessDenied);
  KeyHandle key = kNoKey;
  bool created = false;
  EXPECT_EQ(reg().CreateKey(reader, u"New", Access::All, key, created), kAccessDenied);
  EXPECT_FALSE(machine.KeyExists(kHkcu, "Rights\\New"));
  // Opening an existing key needs no rights on the parent handle.
  EXPECT_EQ(reg().CreateKey(reader, u"Existing", Access::All, key, created), kSuccess);
  reg().CloseKey(key);

  KeyHandle writer = Open(kHkcu, u"Rights\\Existing", Access::Write);
  RegType type{};
  std::uint32_t size = 0;
  std::u16string name;
  EXPECT_EQ(reg().QueryValue(writer, u"v", type, nullptr, size), kAccessDenied);
  EXPECT_EQ(reg().EnumValue(writer, 0, name), kAccessDenied);
  EXPECT_EQ(reg().SetValue(writer, u"w", RegType::Binary, &byte, 1), kSuccess);
  EXPECT_EQ(machine.GetString(kHkcu, "Rights\\Existing", "v"), "keep");
  reg().CloseKey(reader);
  reg().CloseKey(writer);
}

TEST_F(SimRegistryTest, LocalMachineIsReadOnlyWithoutAdministrativeRights) {
  machine.SetString(kHklm, "SOFTWARE\\Vendor\\Sub", "v", "x");
  machine.system_state().administrator = false;
  const std::uint8_t byte = 1;

  struct Case {
    const char* what;
    Status (*call)(platform::Registry&, KeyHandle root, KeyHandle& out);
  };
  const Case cases[] = {
      {"open for writing",
       [](platform::Registry& r, KeyHandle root, KeyHandle& out) {
         return r.OpenKey(root, u"SOFTWARE\\Vendor", Access::Write, out);
       }},
      {"open for all access",
       [](platform::Registry& r, KeyHandle root, KeyHandle& out) {
         return r.OpenKey(root, u"SOFTWARE\\Vendor", Access::All, out);
       }},
      {"create existing for writing",
       [](platform::Registry& r, KeyHandle root, KeyHandle& out) {
         bool created = false;
         return r.CreateKey(root, u"SOFTWARE\\Vendor", Access::Write, out, created);
       }},
      {"create new even for reading",
       [](platform::Registry& r, KeyHandle root, KeyHandle& out) {
         bool created = false;
         return r.CreateKey(root, u"SOFTWARE\\Other", Access::Read, out, created);
       }},
      {"set a value on the root",
       [](platform::Registry& r, KeyHandle root, KeyHandle&) {
         const std::uint8_t b = 1;
         return r.SetValue(root, u"v", RegType::Binary, &b, 1);
       }},
      {"delete a key", [](platform::Registry& r, KeyHandle root,
                          KeyHandle&) { return r.DeleteKey(root, u"SOFTWARE\\Vendor\\Sub"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    KeyHandle out = kNoKey;
    EXPECT_EQ(c.call(reg(), kHklm, out), kAccessDenied);
    EXPECT_EQ(out, kNoKey);
    // The same call on the user's hive is allowed (after giving it the same keys).
    machine.SetString(kHkcu, "SOFTWARE\\Vendor\\Sub", "v", "x");
    EXPECT_EQ(c.call(reg(), kHkcu, out), kSuccess);
    reg().CloseKey(out);
  }
  EXPECT_EQ(machine.OpenHandles(), 0u);

  // Reading stays possible; a read handle still cannot write.
  KeyHandle reader = Open(kHklm, u"SOFTWARE\\Vendor\\Sub", Access::Read);
  EXPECT_EQ(machine.OpenHandles(), 1u);
  EXPECT_EQ(ValuesOf(reader), std::vector<std::u16string>{u"v"});
  EXPECT_EQ(reg().DeleteValue(reader, u"v"), kAccessDenied);
  EXPECT_EQ(reg().SetValue(reader, u"w", RegType::Binary, &byte, 1), kAccessDenied);
  reg().CloseKey(reader);
  EXPECT_TRUE(machine.KeyExists(kHklm, "SOFTWARE\\Vendor\\Sub"));
  EXPECT_FALSE(machine.KeyExists(kHklm, "SOFTWARE\\Other"));
  EXPECT_EQ(machine.ValueNames(kHklm, "SOFTWARE\\Vendor\\Sub"), std::vector<std::string>{"v"});
}

TEST_F(SimRegistryTest, OpenHandlesCountsKeysNotYetClosed) {
  EXPECT_EQ(machine.OpenHandles(), 0u);
  KeyHandle a = Create(kHkcu, u"A");
  KeyHandle b = Open(kHkcu, u"A");
  EXPECT_EQ(machine.OpenHandles(), 2u);
  reg().CloseKey(a);
  reg().CloseKey(kHkcu);  // the roots are never counted
  reg().CloseKey(kHklm);
  EXPECT_EQ(machine.OpenHandles(), 1u);
  reg().CloseKey(b);
  EXPECT_EQ(machine.OpenHandles(), 0u);
}

TEST_F(SimRegistryTest, FaultPlanFailsTheChosenCallOnceAndChangesNothing) {
  KeyHandle key = Create(kHkcu, u"Faults");       // call 1
  ASSERT_EQ(SetBytes(key, u"v", {1}), kSuccess);  // call 2
  machine.ResetCounts();
  machine.FailCall(2, kAccessDenied);

  KeyHandle sub = kNoKey;
  bool created = false;
  EXPECT_EQ(SetBytes(key, u"v", {2}), kSuccess);                                      // call 1
  EXPECT_EQ(reg().CreateKey(key, u"Sub", Access::All, sub, created), kAccessDenied);  // call 2
  EXPECT_EQ(sub, kNoKey);
  EXPECT_FALSE(machine.KeyExists(kHkcu, "Faults\\Sub"));
  EXPECT_EQ(machine.OpenHandles(), 1u);
  reg().CloseKey(key);  // not a counted call
  EXPECT_EQ(machine.CallCount(), 2u);
  EXPECT_EQ(machine.CallCount(Service::Registry), 2u);
  // The plan is spent: calls 3 and 4 succeed.
  key = Open(kHkcu, u"Faults");
  EXPECT_EQ(reg().DeleteValue(key, u"v"), kSuccess);
  reg().CloseKey(key);
  EXPECT_EQ(machine.OpenHandles(), 0u);
}

TEST_F(SimRegistryTest, ServiceFaultCountsOnlyThatServicesCalls) {
  KeyHandle key = Create(kHkcu, u"Faults");
  machine.ResetCounts();
  machine.FailServiceCall(Service::Registry, 2, platform::kNotEnoughMemory);

  platform::OsVersion version;
  EXPECT_EQ(machine.system().GetVersion(version), kSuccess);  // overall call 1, another service
  EXPECT_EQ(SetBytes(key, u"a", {1}), kSuccess);              // registry call 1
  EXPECT_EQ(reg().DeleteValue(key, u"a"), platform::kNotEnoughMemory);  // registry call 2
  EXPECT_EQ(machine.ValueNames(kHkcu, "Faults"), std::vector<std::string>{"a"});
  EXPECT_EQ(reg().DeleteValue(key, u"a"), kSuccess);
  EXPECT_EQ(machine.CallCount(Service::Registry), 3u);
  EXPECT_EQ(machine.CallCount(Service::SystemInfo), 1u);
  EXPECT_EQ(machine.CallCount(), 4u);

  machine.FailServiceCall(Service::Registry, 4, kAccessDenied);
  machine.ClearFaults();
  EXPECT_EQ(SetBytes(key, u"b", {1}), kSuccess);
  reg().CloseKey(key);
}

}  // namespace
}  // namespace nebrin::sim
