#include "profile_import.h"

#include "store_scan.h"

#include <algorithm>
#include <iterator>

namespace nebrin::host {
namespace {

template <std::size_t N>
std::u16string Field16(const NebrinChar (&field)[N]) {
  std::u16string text;
  for (std::size_t i = 0; i < N && field[i] != 0; ++i)
    text.push_back(static_cast<char16_t>(field[i]));
  return text;
}

std::vector<AdapterInfoStr> ThisMachinesAdapters() {
  HostProfile live;
  CCommonFtn().InitStructure(&live.env, live.adapters);
  if (CNetInfoRetrieve().IPRetrieve(&live.env, live.adapters) != 1) {
    throw Refusal(
        "this machine's adapters could not be read (or it has none), so the file's "
        "adapters cannot be matched to them");
  }
  return {live.adapters, live.adapters + live.env.AdapterCount};
}

// "NAME (k)", with NAME shortened where the whole would not fit a profile name.
std::u16string Numbered(const std::u16string& name, int k) {
  const std::string digits = " (" + std::to_string(k) + ")";
  const std::u16string suffix(digits.begin(), digits.end());
  const std::size_t room = std::size(EnvInfoStr{}.ProfileName) - 1 - suffix.size();
  std::u16string base = name.substr(0, std::min(name.size(), room));
  // Never keep half of a surrogate pair.
  if (base.size() < name.size() && !base.empty() && base.back() >= 0xD800 && base.back() < 0xDC00) {
    base.pop_back();
  }
  return base + suffix;
}

bool Free(const std::u16string& name, const std::vector<std::u16string>& chosen) {
  if (std::find(chosen.begin(), chosen.end(), name) != chosen.end()) return false;
  std::vector<NebrinChar> wide(name.begin(), name.end());
  wide.push_back(0);
  return CNetInfoRetrieve().CanUseThisName(wide.data()) == 1;
}

// The name each profile is stored under: its own when free (in the store and among the names
// this import has chosen), else with --rename the first free "NAME (k)", k = 2, 3, ...
std::vector<std::u16string> ChooseNames(const std::vector<FileProfile>& profiles, bool rename) {
  std::vector<std::u16string> chosen;
  for (const FileProfile& f : profiles) {
    const std::u16string wanted = Field16(f.profile.env.ProfileName);
    std::u16string name = wanted;
    for (int k = 2; !Free(name, chosen); ++k) name = Numbered(wanted, k);
    if (name != wanted && !rename) {
      const bool inFile = std::find(chosen.begin(), chosen.end(), wanted) != chosen.end();
      throw Refusal(f.place + ": " +
                    (inFile ? "an earlier profile of the file has the same name"
                            : "a profile named \"" + ToUtf8(wanted) + "\" already exists") +
                    "; --rename stores it as \"" + ToUtf8(name) + "\"");
    }
    chosen.push_back(name);
  }
  return chosen;
}

// Deletes the profiles this import stored, newest first, and recounts "ProfileCount" (a store
// that could not create its profile key leaves it one higher). Always throws ImportFailed.
[[noreturn]] void Undo(const std::vector<int>& numbers, const std::string& failure) {
  CNetInfoManage manage;
  std::string left;
  for (auto it = numbers.rbegin(); it != numbers.rend(); ++it) {
    if (manage.DeleteSelectProfile(*it) != 1)
      left += (left.empty() ? "" : ", ") + std::to_string(*it);
  }
  const bool recounted = manage.SetProfileCount() == 1;
  if (!left.empty()) {
    throw ImportFailed(failure + ", and undoing the import failed: profiles " + left +
                           " of this import could not be deleted",
                       false);
  }
  if (!recounted) {
    throw ImportFailed(failure +
                           ", so the import was undone, but the store's next profile "
                           "number could not be recounted",
                       true);
  }
  throw ImportFailed(failure + ", so the import was undone: nothing of it was kept", true);
}

// The private wireless network is made on the private adapter by the ad hoc tool and announced
// machine-wide: a wired private adapter cannot carry it, as `save` and `edit` refuse too. Looked at
// once the adapters are this machine's, whose medium is the one that counts.
void CheckPrivateWireless(const std::vector<FileProfile>& profiles,
                          const std::vector<AdapterInfoStr>& here) {
  for (const FileProfile& f : profiles) {
    const EnvInfoStr& env = f.profile.env;
    if ((env.nICSFlag != 1 && env.nICSFlag != 2) || env.bPrivateWlan != 1) continue;
    const std::string guid = FieldUtf8(env.strPrivateDevGUID);
    const AdapterInfoStr* found = nullptr;
    for (int i = 0; i < env.AdapterCount && !found; ++i) {
      if (FieldUtf8(f.profile.adapters[i].AdapterName) == guid) found = &f.profile.adapters[i];
    }
    for (const AdapterInfoStr& a : here) {
      if (!found && FieldUtf8(a.AdapterName) == guid) found = &a;
    }
    if (found && FieldUtf8(found->MediaSubType) != "air") {
      throw Refusal(f.place + ": \"bPrivateWlan\" is 1, but the private adapter (" +
                    FieldUtf8(found->ConnectionName) +
                    ") is not a wireless adapter, so it cannot carry a private wireless network");
    }
  }
}

}  // namespace

ImportReport ImportProfiles(std::vector<FileProfile> profiles, const ImportOptions& options) {
  ImportReport report;
  std::vector<AdapterInfoStr> here;
  if (NeedsAdapters(profiles) || !options.maps.empty()) here = ThisMachinesAdapters();
  report.adapterNotes = MapAdapters(profiles, here, options.maps);
  CheckPrivateWireless(profiles, here);
  const std::vector<std::u16string> names = ChooseNames(profiles, options.rename);

  std::vector<int> stored;
  for (std::size_t i = 0; i < profiles.size(); ++i) {
    FileProfile& f = profiles[i];
    EnvInfoStr& env = f.profile.env;
    ImportedProfile imported;
    imported.nameInFile = FieldUtf8(env.ProfileName);
    imported.name = ToUtf8(names[i]);
    SetText(env.ProfileName, imported.name, "the name");
    env.nProfileKey = -1;
    // "ProfileCount" as it stands is the number this save takes, unless another program stores
    // first; the first save of a store takes 0.
    const int storing = ScanStore().profileCount.value_or(0);
    if (options.record) {
      try {
        options.record(names, stored, storing);
      } catch (const std::exception& e) {
        if (stored.empty()) throw Refusal(std::string(e.what()) + "; nothing was imported");
        Undo(stored, e.what());
      }
    }
    // A save that fails takes away the keys it created, so only whole profiles are undone.
    if (CNetInfoManage().SaveProfileInfoToRegistry(&env, f.profile.adapters, 1) != 1) {
      Undo(stored, f.place + " could not be stored");
    }
    stored.push_back(env.nProfileKey);
    if (options.record && env.nProfileKey != storing) {
      try {
        options.record(names, stored, -1);
      } catch (const std::exception& e) {
        Undo(stored, e.what());
      }
    }
    imported.number = env.nProfileKey;
    imported.adapterCount = env.AdapterCount;
    imported.keyTextLeftOut = (env.nICSFlag == 1 || env.nICSFlag == 2) && env.bPrivateWlan == 1 &&
                              env.bWLANWebKeyUse == 1 && !f.keyTextGiven;
    report.profiles.push_back(imported);
  }
  return report;
}

}  // namespace nebrin::host
