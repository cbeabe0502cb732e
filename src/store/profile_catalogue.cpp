// The catalogue of stored profiles: how many there are, the list the host shows, and whether a
// proposed name is free.
#include <cstdint>
#include <optional>
#include <string>

#include "NebrinCoreDll.h"
#include "frame/no_throw.h"
#include "frame/record_text.h"
#include "platform/platform.h"
#include "platform/registry_key.h"
#include "store/profile_numbers.h"
#include "store/store_keys.h"
#include "store/store_values.h"

namespace nebrin::store {
namespace {

using platform::Access;
using platform::kSuccess;
using platform::Registry;
using platform::UniqueKey;

constexpr std::size_t kNameRoom = 100;         // "ProfileName" as the list reads it
constexpr std::size_t kCompareNameRoom = 200;  // "ProfileName" as the name checks read it
constexpr std::uint32_t kFailedIndexesInARow = 64;

// Whether no profile key under the store root holds `name`. Every subkey counts, whatever its
// number, except the one whose number is `skip`. An unreadable store holds no names.
int NameIsFree(const std::u16string& name, std::optional<int> skip) {
  Registry& registry = platform::Current().registry();
  UniqueKey root;
  if (platform::OpenKey(registry, platform::kCurrentUser, kStoreRoot, Access::Read, root) !=
      kSuccess) {
    return 1;
  }
  std::u16string subkey;
  std::uint32_t failedInARow = 0;
  for (std::uint32_t i = 0;; ++i) {
    // Every index up to "no more items" is looked at: one that cannot be read is passed over
    // like a subkey without a readable name, so that a failing read never hides a taken name.
    const platform::Status status = SubkeyName(registry, root.get(), i, subkey);
    if (status == platform::kNoMoreItems) break;
    if (status != kSuccess) {
      // A name too long for the room is an entry all the same; a long run of indexes that answer
      // nothing but other errors means the key itself can no longer be listed.
      if (status != platform::kMoreData && ++failedInARow == kFailedIndexesInARow) break;
      continue;
    }
    failedInARow = 0;
    if (skip && ParseNumber(subkey) == *skip) continue;
    UniqueKey profile;
    if (platform::OpenKey(registry, root.get(), subkey, Access::Read, profile) != kSuccess)
      continue;
    std::u16string stored;
    if (platform::ReadText(registry, profile.get(), u"ProfileName", kCompareNameRoom, stored) ==
            kSuccess &&
        stored == name) {
      return 0;
    }
  }
  return 1;
}

}  // namespace
}  // namespace nebrin::store

using namespace nebrin;

int CNetInfoRetrieve::GetProfileCount() {
  return nebrin::frame::Guarded(0, [&] {
    platform::Registry& registry = platform::Current().registry();
    platform::UniqueKey root;
    int next = 0;
    if (!store::ReadRootNumber(registry, u"ProfileCount", root, next)) return 0;
    int count = 0;
    store::ProfileNumberWalk walk(registry, root.get(), next);
    int number = 0;
    platform::UniqueKey profile;
    while (walk.Next(number, profile)) ++count;
    return count;
  });
}

int CNetInfoRetrieve::GetNameIndexInfo(NameIndex* entries, int capacity) {
  return nebrin::frame::Guarded(0, [&] {
    platform::Registry& registry = platform::Current().registry();
    platform::UniqueKey root;
    int next = 0;
    if (!store::ReadRootNumber(registry, u"ProfileCount", root, next)) return 0;
    if (next > 0 && capacity > 0 && entries == nullptr) return 0;
    int filled = 0;
    store::ProfileNumberWalk walk(registry, root.get(), next);
    int j = 0;
    platform::UniqueKey profile;
    while (filled < capacity && walk.Next(j, profile)) {
      NameIndex& entry = entries[filled];
      // A profile whose name or icon cannot be read (a save or a deletion cut off, a value of
      // another type) is listed as damaged: an empty name and icon -1, under its own number, so
      // that a host can offer to delete it. The rest of the store lists as usual.
      std::u16string name;
      std::u16string icon;
      if (platform::ReadText(registry, profile.get(), u"ProfileName", store::kNameRoom, name) ==
              platform::kSuccess &&
          platform::ReadText(registry, profile.get(), u"IconIndex", store::kNumberRoom, icon) ==
              platform::kSuccess) {
        frame::SetField(entry.ProfileName, name);  // a name too long for the entry is cut short
        entry.IconIndex = store::ParseNumber(icon);
      } else {
        frame::SetField(entry.ProfileName, u"");
        entry.IconIndex = store::kDamagedIcon;
      }
      entry.nProfileKey = j;
      ++filled;
    }
    return 1;
  });
}

int CNetInfoRetrieve::CanUseThisName(NebrinChar* name) {
  return nebrin::frame::Guarded(
      0, [&] { return store::NameIsFree(frame::ParamText(name), std::nullopt); });
}

int CNetInfoRetrieve::CanUseThisNameEdit(NebrinChar* name, EnvInfoStr* env) {
  return nebrin::frame::Guarded(0, [&] {
    if (env == nullptr) return 0;
    return store::NameIsFree(frame::ParamText(name), env->nProfileKey);
  });
}
