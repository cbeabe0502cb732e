#include "host_profile.h"

#include <algorithm>
#include <iterator>

#include "store_scan.h"

namespace nebrin::host {

std::vector<NebrinChar> WideParam(const std::string& utf8) {
  const std::u16string text = ToUtf16(utf8);
  std::vector<NebrinChar> wide(text.begin(), text.end());
  wide.push_back(0);
  return wide;
}

int ProfileNumber(const std::string& typed) {
  const bool digits =
      !typed.empty() && typed.size() <= 9 &&
      std::all_of(typed.begin(), typed.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (!digits) throw Refusal("\"" + typed + "\" is not a profile number");
  return std::stoi(typed);
}

namespace {

// What the catalogue reads of each profile, read by the host itself for a library that fails the
// whole catalogue when one profile is damaged.
std::vector<NameIndex> ReadNamesDirectly(const StoreScan& scan) {
  std::vector<NameIndex> entries;
  for (const int number : scan.numbers) {
    if (number < 0 || number >= scan.profileCount.value_or(0)) continue;
    const auto name = StoredName(number);
    const auto icon = StoredIcon(number);
    NameIndex entry{};
    if (!name || !icon || name->size() >= std::size(entry.ProfileName)) continue;
    entry.nProfileKey = number;
    entry.IconIndex = *icon;
    std::copy(name->begin(), name->end(), entry.ProfileName);
    entries.push_back(entry);
  }
  return entries;
}

}  // namespace

Catalogue ReadCatalogue() {
  CNetInfoRetrieve retrieve;
  const StoreScan scan = ScanStore();
  const int count = retrieve.GetProfileCount();
  Catalogue catalogue;
  std::vector<NameIndex> entries(static_cast<std::size_t>(std::max(count, 0)));
  for (NameIndex& e : entries) e.nProfileKey = -1;  // entries the catalogue does not fill
  if (count > 0 && retrieve.GetNameIndexInfo(entries.data(), count) != 1) {
    if (!scan.profileCount) throw Refusal("the profile store cannot be read");
    entries = ReadNamesDirectly(scan);
  }
  for (const NameIndex& e : entries) {
    if (e.nProfileKey < 0) continue;
    // A catalogue may list a damaged profile as an entry without a name and with icon -1; a
    // profile stored so has both values, a damaged one lacks one of them.
    const bool blank = e.ProfileName[0] == 0 && e.IconIndex == -1;
    if (blank && (!StoredName(e.nProfileKey) || !StoredIcon(e.nProfileKey))) continue;
    catalogue.entries.push_back(e);
  }
  for (const int number : scan.numbers) {
    const bool listed = std::any_of(catalogue.entries.begin(), catalogue.entries.end(),
                                    [&](const NameIndex& e) { return e.nProfileKey == number; });
    if (!listed && number >= 0 && number < scan.profileCount.value_or(0)) {
      catalogue.damaged.push_back(number);
    }
  }
  return catalogue;
}

std::vector<NameIndex> ListProfiles() { return ReadCatalogue().entries; }

std::string DamagedSentence(int number) {
  const std::string n = std::to_string(number);
  return "profile " + n + " is damaged (its name or icon cannot be read, as a save or import " +
         "stopped part-way leaves it); `nebrin delete " + n + "` removes it";
}

void CheckIcon(long long icon) {
  if (icon < kIconMin || icon > kIconMax) {
    throw Refusal("the icon number " + std::to_string(icon) + " is out of range (" +
                  std::to_string(kIconMin) + " to " + std::to_string(kIconMax) +
                  ", what the profile list can read back)");
  }
}

std::string Shown(const std::string& utf8) { return text::Escaped(utf8); }

void RefuseControl(const std::string& utf8, const std::string& what) {
  if (text::HasControl(utf8)) {
    throw Refusal(what + " \"" + Shown(text::Excerpt(utf8)) +
                  "\" holds a control character (spelt out here); a name is plain text");
  }
}

bool LoadProfile(int number, HostProfile& profile) {
  CCommonFtn().InitStructure(&profile.env, profile.adapters);
  return CNetInfoRetrieve().GetInfoFromRegistry(number, &profile.env, profile.adapters) == 1;
}

void RefuseUnloadable(int number) {
  const auto entries = ListProfiles();
  const bool listed = std::any_of(entries.begin(), entries.end(),
                                  [&](const NameIndex& e) { return e.nProfileKey == number; });
  if (listed) throw Refusal("profile " + std::to_string(number) + " is stored but cannot be read");
  const auto damaged = ReadCatalogue().damaged;
  if (std::find(damaged.begin(), damaged.end(), number) != damaged.end()) {
    throw Refusal(DamagedSentence(number));
  }
  throw Refusal("there is no profile number " + std::to_string(number));
}

}  // namespace nebrin::host
