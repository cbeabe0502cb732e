// Deleting profiles without renumbering the others, bringing "ProfileCount" up to date, and
// removing the whole store. Each member takes the store's mutex once; the steps they share run
// under the mutex their caller holds.
#include <limits>
#include <string>

#include "NebrinCoreDll.h"
#include "frame/no_throw.h"
#include "platform/platform.h"
#include "platform/registry_key.h"
#include "store/store_keys.h"
#include "store/store_lock.h"
#include "store/store_values.h"

namespace nebrin::store {
namespace {

using platform::Registry;

// Deletes every adapter key of profile `number`: 1 when none is left.
int DeleteAdapterKeys(Registry& registry, int number) {
  platform::UniqueKey profile;
  if (platform::OpenKey(registry, platform::kCurrentUser, ProfileKeyPath(number),
                        platform::Access::All, profile) != platform::kSuccess) {
    return 0;
  }
  // Always the first subkey: each deletion moves the next one to the front.
  for (;;) {
    std::u16string adapter;
    const platform::Status status = SubkeyName(registry, profile.get(), 0, adapter);
    if (status == platform::kNoMoreItems) return 1;
    if (status != platform::kSuccess) return 0;
    if (registry.DeleteKey(profile.get(), adapter) != platform::kSuccess) return 0;
  }
}

// "ProfileCount" = one more than the highest number left.
int RecountProfiles(Registry& registry) {
  platform::UniqueKey root;
  const platform::Status opened =
      platform::OpenKey(registry, platform::kCurrentUser, kStoreRoot, platform::Access::All, root);
  // Without a store root there is nothing to bring up to date; a root that exists but does not
  // open is a failure.
  if (opened == platform::kFileNotFound) return 1;
  if (opened != platform::kSuccess) return 0;
  // One more than the highest number left, so "1" also when none is left. A count from a walk
  // that did not see every profile key would hand out a number in use; none is written then,
  // nor when the highest number has no successor.
  int highest = 0;
  if (HighestProfileNumber(registry, root.get(), highest) != platform::kSuccess ||
      highest == std::numeric_limits<int>::max()) {
    return 0;
  }
  return WriteText(registry, root.get(), u"ProfileCount", DecimalText(highest + 1)) ==
                 platform::kSuccess
             ? 1
             : 0;
}

// The name goes first: from then on the catalogue lists the profile as damaged and its name is
// free, so a deletion cut off part-way leaves no named profile that does not load. The registry
// deletes only a key without subkeys, so the adapter keys go one by one, then the profile key.
// "ProfileCount" is left to the caller's recount.
int DeleteProfileKeys(Registry& registry, int number) {
  {
    platform::UniqueKey profile;
    if (platform::OpenKey(registry, platform::kCurrentUser, ProfileKeyPath(number),
                          platform::Access::All, profile) != platform::kSuccess) {
      return 0;
    }
    const platform::Status unnamed = registry.DeleteValue(profile.get(), u"ProfileName");
    if (unnamed != platform::kSuccess && unnamed != platform::kFileNotFound) return 0;
  }
  if (DeleteAdapterKeys(registry, number) != 1) return 0;
  return registry.DeleteKey(platform::kCurrentUser, ProfileKeyPath(number)) == platform::kSuccess
             ? 1
             : 0;
}

int DeleteProfile(Registry& registry, int number) {
  return DeleteProfileKeys(registry, number) == 1 ? RecountProfiles(registry) : 0;
}

int DeleteEveryProfile(Registry& registry) {
  platform::UniqueKey root;
  if (platform::OpenKey(registry, platform::kCurrentUser, kStoreRoot, platform::Access::Read,
                        root) != platform::kSuccess) {
    return 0;
  }
  // Each round deletes a key or stops, so the loop ends. "ProfileCount" is recounted once, at
  // the end (a recount walks every key, so one per profile would make this quadratic); a count
  // left above the profiles by a failure or a kill part-way only skips numbers.
  for (bool deleted = false;; deleted = true) {
    std::u16string name;
    const platform::Status status = SubkeyName(registry, root.get(), 0, name);
    if (status == platform::kNoMoreItems) return deleted ? RecountProfiles(registry) : 1;
    if (status != platform::kSuccess) return 0;
    if (DeleteProfileKeys(registry, ParseNumber(name)) != 1) return 0;
  }
}

}  // namespace
}  // namespace nebrin::store

using namespace nebrin;

int CNetInfoManage::DeleteSelectProfile(int profileNumber) {
  return nebrin::frame::Guarded(0, [&] {
    store::StoreWriteLock lock(platform::Current());
    if (!lock.held()) return 0;
    return store::DeleteProfile(platform::Current().registry(), profileNumber);
  });
}

int CNetInfoManage::DeleteSelectProfileAdapter(int profileNumber) {
  return nebrin::frame::Guarded(0, [&] {
    store::StoreWriteLock lock(platform::Current());
    if (!lock.held()) return 0;
    return store::DeleteAdapterKeys(platform::Current().registry(), profileNumber);
  });
}

int CNetInfoManage::CountProfileKey() {
  return nebrin::frame::Guarded(0, [&] {
    platform::Registry& registry = platform::Current().registry();
    platform::UniqueKey root;
    if (platform::OpenKey(registry, platform::kCurrentUser, store::kStoreRoot,
                          platform::Access::Read, root) != platform::kSuccess) {
      return 0;
    }
    int highest = 0;
    store::HighestProfileNumber(registry, root.get(), highest);
    return highest;
  });
}

int CNetInfoManage::SetProfileCount() {
  return nebrin::frame::Guarded(0, [&] {
    store::StoreWriteLock lock(platform::Current());
    if (!lock.held()) return 0;
    return store::RecountProfiles(platform::Current().registry());
  });
}

int CNetInfoManage::DeleteAllProfile() {
  return nebrin::frame::Guarded(0, [&] {
    store::StoreWriteLock lock(platform::Current());
    if (!lock.held()) return 0;
    return store::DeleteEveryProfile(platform::Current().registry());
  });
}

int CNetInfoManage::DeleteNebrinKey() {
  return nebrin::frame::Guarded(0, [&] {
    store::StoreWriteLock lock(platform::Current());
    if (!lock.held()) return 0;
    platform::Registry& registry = platform::Current().registry();
    if (store::DeleteEveryProfile(registry) != 1) return 0;
    if (registry.DeleteKey(platform::kCurrentUser, store::kStoreRoot) != platform::kSuccess)
      return 0;
    // A machine-wide key that is missing counts as a failure here, unlike in DeleteHKLMNebrinKey.
    if (registry.DeleteKey(platform::kLocalMachine, store::kMachineWideKey) != platform::kSuccess) {
      return 0;
    }
    return 1;
  });
}
