// Deleting profiles without renumbering the others, bringing "ProfileCount" up to date, and
// removing the whole store.
#include <limits>
#include <string>

#include "NebrinCoreDll.h"
#include "frame/no_throw.h"
#include "platform/platform.h"
#include "platform/registry_key.h"
#include "store/store_keys.h"
#include "store/store_lock.h"
#include "store/store_values.h"

using namespace nebrin;

int CNetInfoManage::DeleteSelectProfile(int profileNumber) {
  return nebrin::frame::Guarded(0, [&] {
    store::StoreWriteLock lock(platform::Current());
    if (!lock.held()) return 0;
    {
      // The name goes first: from then on the catalogue lists the profile as damaged and its name
      // is free, so a deletion cut off part-way leaves no named profile that does not load. The
      // registry can delete only a key without subkeys, so the adapter keys go one by one first.
      platform::Registry& registry = platform::Current().registry();
      platform::UniqueKey profile;
      if (platform::OpenKey(registry, platform::kCurrentUser, store::ProfileKeyPath(profileNumber),
                            platform::Access::All, profile) != platform::kSuccess) {
        return 0;
      }
      const platform::Status unnamed = registry.DeleteValue(profile.get(), u"ProfileName");
      if (unnamed != platform::kSuccess && unnamed != platform::kFileNotFound) return 0;
    }
    if (DeleteSelectProfileAdapter(profileNumber) != 1) return 0;
    if (platform::Current().registry().DeleteKey(
            platform::kCurrentUser, store::ProfileKeyPath(profileNumber)) != platform::kSuccess) {
      return 0;
    }
    return SetProfileCount();
  });
}

int CNetInfoManage::DeleteSelectProfileAdapter(int profileNumber) {
  return nebrin::frame::Guarded(0, [&] {
    store::StoreWriteLock lock(platform::Current());
    if (!lock.held()) return 0;
    platform::Registry& registry = platform::Current().registry();
    platform::UniqueKey profile;
    if (platform::OpenKey(registry, platform::kCurrentUser, store::ProfileKeyPath(profileNumber),
                          platform::Access::All, profile) != platform::kSuccess) {
      return 0;
    }
    // Always the first subkey: each deletion moves the next one to the front.
    for (;;) {
      std::u16string adapter;
      const platform::Status status = store::SubkeyName(registry, profile.get(), 0, adapter);
      if (status == platform::kNoMoreItems) return 1;
      if (status != platform::kSuccess) return 0;
      if (registry.DeleteKey(profile.get(), adapter) != platform::kSuccess) return 0;
    }
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
    platform::Registry& registry = platform::Current().registry();
    platform::UniqueKey root;
    const platform::Status opened = platform::OpenKey(
        registry, platform::kCurrentUser, store::kStoreRoot, platform::Access::All, root);
    // Without a store root there is nothing to bring up to date; a root that exists but does not
    // open is a failure.
    if (opened == platform::kFileNotFound) return 1;
    if (opened != platform::kSuccess) return 0;
    // One more than the highest number left, so "1" also when none is left. A count from a walk
    // that did not see every profile key would hand out a number in use; none is written then,
    // nor when the highest number has no successor.
    int highest = 0;
    if (store::HighestProfileNumber(registry, root.get(), highest) != platform::kSuccess ||
        highest == std::numeric_limits<int>::max()) {
      return 0;
    }
    return store::WriteText(registry, root.get(), u"ProfileCount",
                            store::DecimalText(highest + 1)) == platform::kSuccess
               ? 1
               : 0;
  });
}

int CNetInfoManage::DeleteAllProfile() {
  return nebrin::frame::Guarded(0, [&] {
    store::StoreWriteLock lock(platform::Current());
    if (!lock.held()) return 0;
    platform::Registry& registry = platform::Current().registry();
    platform::UniqueKey root;
    if (platform::OpenKey(registry, platform::kCurrentUser, store::kStoreRoot,
                          platform::Access::Read, root) != platform::kSuccess) {
      return 0;
    }
    // Each round deletes a key or stops, so the loop ends.
    for (;;) {
      std::u16string name;
      const platform::Status status = store::SubkeyName(registry, root.get(), 0, name);
      if (status == platform::kNoMoreItems) return 1;
      if (status != platform::kSuccess) return 0;
      if (DeleteSelectProfile(store::ParseNumber(name)) != 1) return 0;
    }
  });
}

int CNetInfoManage::DeleteNebrinKey() {
  return nebrin::frame::Guarded(0, [&] {
    store::StoreWriteLock lock(platform::Current());
    if (!lock.held()) return 0;
    if (DeleteAllProfile() != 1) return 0;
    platform::Registry& registry = platform::Current().registry();
    if (registry.DeleteKey(platform::kCurrentUser, store::kStoreRoot) != platform::kSuccess)
      return 0;
    // A machine-wide key that is missing counts as a failure here, unlike in DeleteHKLMNebrinKey.
    if (registry.DeleteKey(platform::kLocalMachine, store::kMachineWideKey) != platform::kSuccess) {
      return 0;
    }
    return 1;
  });
}
