// Fuzz target: the profile store. The fuzzer's bytes rewrite the store of a machine holding three
// profiles: keys, value names, types and bytes under the store root, "ProfileCount" and
// "LastProfileNo" among them. Then every member that reads the store runs, and a new save, a
// rewrite and the deletions after them. Each must answer one of its documented results, leave no
// key open and write only terminated texts within the records.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "fuzz_support.h"
#include "platform/registry_key.h"
#include "platform/sim/sim_text.h"

namespace nebrin::fuzz {
namespace {

using platform::Registry;

// The value names the store uses; the fuzzer picks one of these or a name of its own.
constexpr std::array<const char16_t*, 29> kValueNames = {u"ProfileCount",
                                                         u"LastProfileNo",
                                                         u"ProfileName",
                                                         u"nProfileKey",
                                                         u"IconIndex",
                                                         u"AdapterCount",
                                                         u"bDefaultPrinterFlag",
                                                         u"strPrinterName",
                                                         u"nICSFlag",
                                                         u"strPublicDevGUID",
                                                         u"strPrivateDevGUID",
                                                         u"bICFFlag",
                                                         u"bPrivateWlan",
                                                         u"bWLANWebKeyUse",
                                                         u"strWLANConnectionName",
                                                         u"strWLANPassWord",
                                                         u"DhcpEnabled",
                                                         u"IpAddressList",
                                                         u"GatewayList",
                                                         u"SubnetMask",
                                                         u"PrimaryWinsServer",
                                                         u"SecondaryWinsServer",
                                                         u"PrimaryDnsServer",
                                                         u"SecondaryDnsServer",
                                                         u"ConnectionName",
                                                         u"DeviceDesc",
                                                         u"MediaSubType",
                                                         u"AdapterName",
                                                         u"Metric"};

// Texts the store's readers decide on.
constexpr std::array<const char16_t*, 24> kTexts = {
    u"0",          u"1",          u"2",     u"3",
    u"-1",         u"10",         u"11",    u"-2147483648",
    u"2147483647", u"2147483646", u" 7",    u"+4x",
    u"true",       u"True",       u"false", u"server",
    u"client",     u"normal",     u"yes",   u"no",
    u"line",       u"air",        u"",      u"{6E1B0F3A-2C4D-4E8F-9A10-3B5C7D9E1F20}"};

std::u16string Decimal(int n) {
  const std::string text = std::to_string(n);
  return std::u16string(text.begin(), text.end());
}

// A key below the store root (empty: the root itself).
std::u16string PickKey(Input& in) {
  switch (in.Choice(4)) {
    case 0:
      return u"";
    case 1:
      return Decimal(in.Small());
    case 2: {
      const int profile = in.Small();
      return Decimal(profile) + u"\\" + Decimal(in.Small());
    }
    default: {
      // A name of the fuzzer's own; a key name holds no backslash and no NUL and is not empty.
      std::u16string name = in.Units(120);
      std::replace(name.begin(), name.end(), u'\\', u'_');
      std::replace(name.begin(), name.end(), u'\0', u'_');
      return name.empty() ? u"x" : name;
    }
  }
}

std::u16string PickValueName(Input& in) {
  const std::size_t choice = in.Byte();
  return choice < kValueNames.size() ? kValueNames[choice] : in.Units(80);
}

platform::RegType PickType(Input& in) {
  using platform::RegType;
  static constexpr RegType kTypes[] = {RegType::String,      RegType::String, RegType::ExpandString,
                                       RegType::MultiString, RegType::Dword,  RegType::Binary,
                                       RegType::None};
  const std::size_t choice = in.Choice(8);
  return choice < 7 ? kTypes[choice] : static_cast<RegType>(in.U32());
}

std::u16string PickText(Input& in) {
  const std::size_t choice = in.Byte();
  return choice < kTexts.size() ? kTexts[choice] : in.Units(260);
}

std::u16string Under(const std::u16string& key) {
  return key.empty() ? kStoreRoot : std::u16string(kStoreRoot) + u"\\" + key;
}

// Rewrites the store through the registry service, as another program would.
void RewriteStore(Input& in, sim::Machine& machine, bool wipe) {
  Registry& registry = machine.registry();
  if (wipe) machine.RemoveKeyTree(sim::kHkcu, "Software\\Corvane\\Nebrin");
  for (int op = 0; op < 64 && !in.empty(); ++op) {
    const std::size_t kind = in.Choice(6);
    const std::u16string path = Under(PickKey(in));
    platform::UniqueKey key;
    if (kind == 4) {
      // Removes the key and everything below it.
      machine.RemoveKeyTree(sim::kHkcu, sim::Utf16ToUtf8(path));
      continue;
    }
    platform::KeyHandle handle = platform::kNoKey;
    bool created = false;
    if (registry.CreateKey(platform::kCurrentUser, path, platform::Access::All, handle, created) !=
        platform::kSuccess) {
      continue;
    }
    key = platform::UniqueKey(registry, handle);
    if (kind == 3) continue;  // the key alone
    const std::u16string name = PickValueName(in);
    if (kind == 2) {
      registry.DeleteValue(key.get(), name);
      continue;
    }
    std::vector<std::uint8_t> bytes;
    platform::RegType type = platform::RegType::String;
    if (kind == 0) {
      type = PickType(in);
      bytes = in.Bytes(640);
    } else {
      std::u16string text = kind == 1 ? PickText(in) : Decimal(in.Int());
      text.push_back(u'\0');
      for (char16_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
      }
    }
    registry.SetValue(key.get(), name, type, bytes.data(),
                      static_cast<std::uint32_t>(bytes.size()));
  }
  machine.ResetCounts();
}

// The profile numbers the subkeys of the store root name, as the store converts them.
std::vector<int> StoredNumbers(const sim::Machine& machine) {
  std::set<int> numbers;
  for (const std::string& name : machine.SubkeyNames(sim::kHkcu, "Software\\Corvane\\Nebrin")) {
    if (numbers.size() == 12) break;
    numbers.insert(std::atoi(name.c_str()));
  }
  return {numbers.begin(), numbers.end()};
}

bool IsSubkey(const sim::Machine& machine, int number) {
  return machine.KeyExists(sim::kHkcu, "Software\\Corvane\\Nebrin\\" + std::to_string(number));
}

// GetNameIndexInfo into an array of exactly `capacity` entries. Entries are filled from the first
// on, each with a terminated name and a profile number that has a key, in ascending order; with
// room for every profile a success lists as many as GetProfileCount counts (a profile without a
// readable name or icon among them, listed as damaged). A list that fails may leave the entry it
// was filling with its name alone: the number is set last.
void CheckList(sim::Machine& machine, int capacity, int count) {
  std::vector<NameIndex> entries(static_cast<std::size_t>(capacity));
  std::memset(entries.data(), 0x5A, entries.size() * sizeof(NameIndex));
  const int result = CNetInfoRetrieve().GetNameIndexInfo(entries.data(), capacity);
  RequireResult(result, {0, 1}, "GetNameIndexInfo");
  RequireNothingOpen(machine, "GetNameIndexInfo");
  NameIndex untouched;
  std::memset(&untouched, 0x5A, sizeof(untouched));
  int filled = 0;
  int previous = -1;
  for (const NameIndex& entry : entries) {
    const bool isUntouched = std::memcmp(&entry, &untouched, sizeof(entry)) == 0;
    if (isUntouched) break;
    Require(Terminated(entry.ProfileName), "a listed name is terminated");
    if (result == 0 &&
        std::memcmp(&entry.nProfileKey, &untouched.nProfileKey, sizeof(entry.nProfileKey)) == 0) {
      ++filled;  // the entry the failed list was filling: its name alone
      break;
    }
    Require(entry.nProfileKey > previous, "the list ascends by profile number");
    Require(IsSubkey(machine, entry.nProfileKey), "a listed profile has its key");
    previous = entry.nProfileKey;
    ++filled;
  }
  for (std::size_t i = static_cast<std::size_t>(filled); i < entries.size(); ++i) {
    Require(std::memcmp(&entries[i], &untouched, sizeof(untouched)) == 0,
            "the list fills its entries from the first on");
  }
  if (result == 1 && capacity > count) Require(filled == count, "the whole list is as counted");
}

// Loads profile `number` as a host does; checks what the load wrote.
bool Load(sim::Machine& machine, int number, HeapProfile& p) {
  Empty(p);
  const int result = CNetInfoRetrieve().GetInfoFromRegistry(number, p.env.get(), p.adapters.get());
  RequireResult(result, {0, 1}, "GetInfoFromRegistry");
  RequireNothingOpen(machine, "GetInfoFromRegistry");
  Require(AllTextsTerminated(p), "loaded texts are terminated");
  if (result == 1) {
    const EnvInfoStr& e = *p.env;
    Require(e.AdapterCount >= 0 && e.AdapterCount <= NEBRIN_ADAPTER_RECORDS,
            "a loaded profile has at most ten adapters");
    Require(e.nICSFlag >= 0 && e.nICSFlag <= 2, "a loaded sharing role is 0, 1 or 2");
    Require(e.bDefaultPrinterFlag == 0 || e.bDefaultPrinterFlag == 1, "a loaded flag is 0 or 1");
  }
  return result == 1;
}

void Run(Input& in) {
  auto machine = StoredDemo();
  Installed installed(machine);
  // The first byte: bit 0 starts from an empty store, bit 1 lists into one entry or two, the
  // high bits choose the profile deleted.
  const std::uint8_t choices = in.Byte();
  RewriteStore(in, *machine, (choices & 1) != 0);
  CNetInfoRetrieve retrieve;
  CNetInfoManage manage;

  const std::size_t subkeys = machine->SubkeyNames(sim::kHkcu, "Software\\Corvane\\Nebrin").size();
  const int count = retrieve.GetProfileCount();
  RequireNothingOpen(*machine, "GetProfileCount");
  Require(count >= 0 && static_cast<std::size_t>(count) <= subkeys,
          "GetProfileCount counts at most the keys there are");

  CheckList(*machine, 1 + ((choices >> 1) & 1), count);
  CheckList(*machine, static_cast<int>(subkeys) + 1, count);

  std::vector<int> numbers = StoredNumbers(*machine);
  numbers.push_back(-1);
  HeapProfile loaded;
  int loadedNumber = -1;
  for (int n : numbers) {
    HeapProfile p;
    if (!Load(*machine, n, p)) continue;
    std::u16string name = FieldText(p.env->ProfileName);
    RequireResult(retrieve.CanUseThisName(name.data()), {0}, "CanUseThisName of a stored name");
    RequireResult(retrieve.CanUseThisNameEdit(name.data(), p.env.get()), {0, 1},
                  "CanUseThisNameEdit");
    RequireNothingOpen(*machine, "the name checks");
    for (int i : {0, 1, p.env->AdapterCount - 1, -1, NEBRIN_ADAPTER_RECORDS}) {
      RequireResult(manage.GetDHCPIP(i, n, p.adapters.get()), {0, 1}, "GetDHCPIP");
      RequireNothingOpen(*machine, "GetDHCPIP");
    }
    Require(AllTextsTerminated(p), "refreshed texts are terminated");
    loaded = p;
    loadedNumber = n;
  }
  {
    HeapProfile p;
    Empty(p);
    RequireResult(retrieve.GetCurrentProfileInfo(p.env.get(), p.adapters.get()), {0, 1},
                  "GetCurrentProfileInfo");
    RequireNothingOpen(*machine, "GetCurrentProfileInfo");
    Require(AllTextsTerminated(p), "loaded texts are terminated");
  }
  std::u16string free = u"A name nobody has";
  RequireResult(retrieve.CanUseThisName(free.data()), {0, 1}, "CanUseThisName");
  const int highest = manage.CountProfileKey();
  RequireNothingOpen(*machine, "CountProfileKey");
  Require(highest >= 0, "CountProfileKey is not negative");

  // A new profile captured from the machine: once saved, it loads with its name.
  {
    HeapProfile p;
    Empty(p);
    CNetInfoRetrieve().IPRetrieve(p.env.get(), p.adapters.get());
    Put(p.env->ProfileName, "Saved by the fuzzer");
    const int saved = manage.SaveProfileInfoToRegistry(p.env.get(), p.adapters.get(), 1);
    RequireResult(saved, {0, 1}, "SaveProfileInfoToRegistry (new)");
    RequireNothingOpen(*machine, "SaveProfileInfoToRegistry (new)");
    if (saved == 1) {
      HeapProfile back;
      Require(Load(*machine, p.env->nProfileKey, back), "a saved profile loads");
      Require(FieldText(back.env->ProfileName) == u"Saved by the fuzzer", "it loads its name");
      Require(back.env->AdapterCount == p.env->AdapterCount, "it loads its adapters");
    }
  }
  // The rewrite of a loaded profile, in place under the number it names.
  if (loadedNumber != -1) {
    const int rewritten =
        manage.SaveProfileInfoToRegistry(loaded.env.get(), loaded.adapters.get(), 0);
    RequireResult(rewritten, {0, 1}, "SaveProfileInfoToRegistry (rewrite)");
    RequireNothingOpen(*machine, "SaveProfileInfoToRegistry (rewrite)");
    if (rewritten == 1) {
      HeapProfile back;
      Require(Load(*machine, loaded.env->nProfileKey, back), "a rewritten profile loads");
    }
  }

  const int doomed = numbers[(choices >> 2) % numbers.size()];
  const int deleted = manage.DeleteSelectProfile(doomed);
  RequireResult(deleted, {0, 1}, "DeleteSelectProfile");
  RequireNothingOpen(*machine, "DeleteSelectProfile");
  if (deleted == 1) Require(!IsSubkey(*machine, doomed), "a deleted profile is gone");
  RequireResult(manage.SetProfileCount(), {0, 1}, "SetProfileCount");
  RequireNothingOpen(*machine, "SetProfileCount");
  if (manage.DeleteAllProfile() == 1) {
    Require(machine->SubkeyNames(sim::kHkcu, "Software\\Corvane\\Nebrin").empty(),
            "DeleteAllProfile leaves no profile key");
  }
  RequireNothingOpen(*machine, "DeleteAllProfile");
  RequireResult(manage.DeleteNebrinKey(), {0, 1}, "DeleteNebrinKey");
  RequireNothingOpen(*machine, "DeleteNebrinKey");
}

}  // namespace
}  // namespace nebrin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  nebrin::fuzz::Input in(data, size);
  nebrin::fuzz::Run(in);
  return 0;
}
