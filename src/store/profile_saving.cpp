// Saving profiles: a new profile under the next number, or a rewrite of a stored one in place;
// the values of a profile key and of an adapter key; renaming and the printer choice.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "NebrinCoreDll.h"
#include "frame/no_throw.h"
#include "frame/record_text.h"
#include "netstate/registry_paths.h"
#include "platform/platform.h"
#include "platform/registry_key.h"
#include "store/store_keys.h"
#include "store/store_lock.h"
#include "store/store_values.h"

namespace nebrin::store {
namespace {

using frame::FieldText;
using platform::Access;
using platform::kCurrentUser;
using platform::KeyHandle;
using platform::kSuccess;
using platform::Registry;
using platform::UniqueKey;

// Writes values in order; after the first failure the later writes are skipped, so the caller
// writes one value per line and asks ok() once.
class ValueWriter {
 public:
  ValueWriter(Registry& registry, KeyHandle key) : registry_(registry), key_(key) {}
  bool operator()(const std::u16string& name, std::u16string_view text) {
    if (ok_) ok_ = WriteText(registry_, key_, name, text) == kSuccess;
    return ok_;
  }
  bool ok() const { return ok_; }

 private:
  Registry& registry_;
  KeyHandle key_;
  bool ok_ = true;
};

// Takes back what a new-profile save changed when the save does not complete, however it ends
// (a result of 0 or an exception): the keys the save created, the most recent (the deepest)
// first, and "ProfileCount" once the save has moved it on. Keys that existed before the save are
// never listed. "ProfileCount" goes back to the save's number only while that cannot hide a
// profile: when it still holds what the save wrote and no profile key numbered at or above the
// save's number is left. Another program that stores without the store's mutex may have taken a
// number meanwhile; then the count stays where it is and the save's number is skipped.
// Everything it needs is prepared before anything is changed, so that taking back allocates
// nothing in the usual case and never throws.
class NewProfileRollback {
 public:
  // Room for the profile key and `adapterCount` adapter keys.
  NewProfileRollback(Registry& registry, int adapterCount) : registry_(registry) {
    created_.reserve(static_cast<std::size_t>(adapterCount) + 1);
  }
  ~NewProfileRollback() {
    if (done_) return;
    try {
      for (auto it = created_.rbegin(); it != created_.rend(); ++it)
        registry_.DeleteKey(kCurrentUser, *it);
      if (countKey_ != platform::kNoKey && CountStillOurs() && NoProfileFromOurNumber()) {
        registry_.SetValue(countKey_, countName_, platform::RegType::String, countData_.data(),
                           static_cast<std::uint32_t>(countData_.size() * sizeof(char16_t)));
      }
    } catch (...) {
      // What cannot be taken back stays; the save has already answered 0.
    }
  }
  NewProfileRollback(const NewProfileRollback&) = delete;
  NewProfileRollback& operator=(const NewProfileRollback&) = delete;

  // Prepares putting "ProfileCount" of `root` back to `number`; armed by CountMoved.
  void PrepareCount(KeyHandle root, int number) {
    number_ = number;
    countName_ = u"ProfileCount";
    countData_ = DecimalText(number);
    countData_.push_back(u'\0');
    movedData_ = DecimalText(number + 1);
    movedData_.push_back(u'\0');
    subkey_.reserve(kSubkeyNameRoom + 1);
    preparedKey_ = root;
  }
  void CountMoved() { countKey_ = preparedKey_; }
  // The number stays taken: "ProfileCount" keeps the value the save gave it.
  void KeepCount() { countKey_ = platform::kNoKey; }
  // A key the save created; the path is moved into room reserved beforehand.
  void Created(std::u16string&& path) { created_.push_back(std::move(path)); }
  // The save completed: nothing is taken back.
  void Done() { done_ = true; }

 private:
  // Whether "ProfileCount" still holds, byte for byte, the number after ours as the save wrote it.
  bool CountStillOurs() {
    char16_t text[kNumberRoom];
    std::uint32_t size = sizeof(text);
    platform::RegType type = platform::RegType::None;
    if (registry_.QueryValue(countKey_, countName_, type, text, size) != kSuccess) return false;
    return type == platform::RegType::String && size == movedData_.size() * sizeof(char16_t) &&
           std::equal(movedData_.begin(), movedData_.end(), text);
  }
  // Whether every subkey of the store root could be listed and none names a number at or above
  // ours (the keys this save created are gone by now).
  bool NoProfileFromOurNumber() {
    for (std::uint32_t i = 0;; ++i) {
      const platform::Status status = SubkeyName(registry_, countKey_, i, subkey_);
      if (status == platform::kNoMoreItems) return true;
      if (status == platform::kMoreData) continue;
      if (status != kSuccess || ParseNumber(subkey_) >= number_) return false;
    }
  }

  Registry& registry_;
  std::vector<std::u16string> created_;
  int number_ = 0;
  std::u16string countName_;
  std::u16string countData_;
  std::u16string movedData_;
  std::u16string subkey_;
  KeyHandle preparedKey_ = platform::kNoKey;
  KeyHandle countKey_ = platform::kNoKey;
  bool done_ = false;
};

// The system's "InterfaceMetric" of the adapter as decimal text, "1" when it has none; `opened`
// tells whether the adapter's interface key exists at all.
std::u16string MetricFromSystem(Registry& registry, const AdapterInfoStr& entry, bool& opened) {
  UniqueKey tcpip;
  opened = platform::OpenKey(registry, platform::kLocalMachine,
                             netstate::TcpipInterfaceKey(FieldText(entry.AdapterName)),
                             Access::Read, tcpip) == kSuccess;
  if (!opened) return {};
  std::uint32_t metric = 0;
  if (platform::ReadDword(registry, tcpip.get(), u"InterfaceMetric", metric) != kSuccess)
    return u"1";
  return DecimalText(static_cast<std::int32_t>(metric));
}

// The values of profile key `number` from the record, in the order that keeps the profile
// readable between any two writes; 1 when all are written. The caller holds the store's mutex.
int WriteProfileValues(Registry& registry, const EnvInfoStr& env, int number) {
  using frame::TerminatedFieldText;
  UniqueKey profile;
  if (platform::OpenKey(registry, kCurrentUser, ProfileKeyPath(number), Access::Write, profile) !=
      kSuccess) {
    return 0;
  }
  const EnvInfoStr& e = env;
  const bool sharing = e.nICSFlag == 1 || e.nICSFlag == 2;
  // Each value is written before the value that calls for it (the printer before its flag, the
  // sharing and wireless texts before the role and flags that make them read), and the name
  // last: a profile rewritten in place loads at every point between two writes, with old and
  // new values mixed, and a new one becomes visible to the catalogue only when complete.
  ValueWriter write(registry, profile.get());
  write(u"strPrinterName", TerminatedFieldText(e.strPrinterName));
  if (e.nICSFlag == 1) write(u"strPublicDevGUID", TerminatedFieldText(e.strPublicDevGUID));
  if (sharing) write(u"strPrivateDevGUID", TerminatedFieldText(e.strPrivateDevGUID));
  if (e.nICSFlag == 1) write(u"bICFFlag", FlagText(e.bICFFlag));
  if (sharing && e.bPrivateWlan == 1) {
    write(u"strWLANConnectionName", TerminatedFieldText(e.strWLANConnectionName));
    write(u"strWLANPassWord", TerminatedFieldText(e.strWLANPassWord));
    write(u"bWLANWebKeyUse", FlagText(e.bWLANWebKeyUse));
  }
  if (sharing) write(u"bPrivateWlan", FlagText(e.bPrivateWlan));
  write(u"bDefaultPrinterFlag", FlagText(e.bDefaultPrinterFlag));
  write(u"nICSFlag", SharingRoleText(e.nICSFlag));
  write(u"nProfileKey", DecimalText(e.nProfileKey));
  write(u"IconIndex", DecimalText(e.IconIndex));
  write(u"AdapterCount", DecimalText(e.AdapterCount));
  write(u"ProfileName", TerminatedFieldText(e.ProfileName));
  return write.ok() ? 1 : 0;
}

// The values of adapter key `index` of profile `number` from entry `index`, the mode last; an
// empty metric of a static adapter is taken from the system first. The caller holds the mutex.
int WriteAdapterValues(Registry& registry, AdapterInfoStr* adapters, int number, int index) {
  using frame::TerminatedFieldText;
  UniqueKey key;
  if (platform::OpenKey(registry, kCurrentUser, AdapterKeyPath(number, index), Access::Write,
                        key) != kSuccess) {
    return 0;
  }
  AdapterInfoStr& a = adapters[index];
  // Only static adapters keep a metric; an empty one is taken from the system, before anything
  // is written.
  const bool isStatic = frame::FieldIs(a.DhcpEnabled, u"no");
  if (isStatic && FieldText(a.Metric).empty()) {
    bool opened = false;
    const std::u16string metric = MetricFromSystem(registry, a, opened);
    if (!opened) return 0;
    frame::SetField(a.Metric, metric);
  }
  // The mode last: the values a static adapter needs ("Metric" among them) are in place before
  // "DhcpEnabled" says "no", so a change from DHCP to static loads at every point.
  ValueWriter write(registry, key.get());
  write(u"IpAddressList", TerminatedFieldText(a.IpAddressList));
  write(u"GatewayList", TerminatedFieldText(a.GatewayList));
  write(u"PrimaryWinsServer", TerminatedFieldText(a.PrimaryWinsServer));
  write(u"SecondaryWinsServer", TerminatedFieldText(a.SecondaryWinsServer));
  write(u"PrimaryDnsServer", TerminatedFieldText(a.PrimaryDnsServer));
  write(u"SecondaryDnsServer", TerminatedFieldText(a.SecondaryDnsServer));
  write(u"ConnectionName", TerminatedFieldText(a.ConnectionName));
  write(u"DeviceDesc", TerminatedFieldText(a.DeviceDesc));
  write(u"MediaSubType", TerminatedFieldText(a.MediaSubType));
  write(u"SubnetMask", TerminatedFieldText(a.SubnetMask));
  write(u"AdapterName", TerminatedFieldText(a.AdapterName));
  if (isStatic) write(u"Metric", TerminatedFieldText(a.Metric));
  write(u"DhcpEnabled", TerminatedFieldText(a.DhcpEnabled));
  return write.ok() ? 1 : 0;
}

// Creates the profile key `number` and its adapter keys and writes their values: the adapters
// first and the profile's own values last, its name the very last of them, so that a save cut
// off at any point leaves a key without "ProfileName", which the catalogue lists as damaged and
// the name checks pass over, never a named profile that does not load. When it fails, `rollback`
// takes back what the save changed; when the profile key itself cannot be created, or turns out
// to exist already (another program stored under the same number at the same moment),
// "ProfileCount" keeps the number it took and nothing is written into that key.
int StoreProfile(Registry& registry, int number, EnvInfoStr& env, AdapterInfoStr* adapters,
                 NewProfileRollback& rollback) {
  {
    UniqueKey profile;
    bool isNew = false;
    std::u16string path = ProfileKeyPath(number);
    if (CreateKey(registry, kCurrentUser, path, profile, isNew) != kSuccess) {
      rollback.KeepCount();
      return 0;
    }
    // A key already under this number is a stored profile: it is never overwritten.
    if (!isNew) {
      rollback.KeepCount();
      return 0;
    }
    rollback.Created(std::move(path));
  }
  env.nProfileKey = number;
  for (int i = 0; i < env.AdapterCount; ++i) {
    {
      UniqueKey adapter;
      bool isNew = false;
      std::u16string path = AdapterKeyPath(number, i);
      if (CreateKey(registry, kCurrentUser, path, adapter, isNew) != kSuccess) return 0;
      if (isNew) rollback.Created(std::move(path));
    }
    if (WriteAdapterValues(registry, adapters, number, i) != 1) return 0;
  }
  if (WriteProfileValues(registry, env, number) != 1) return 0;
  rollback.Done();
  return 1;
}

// Whether a key is stored under profile number `number`: kFileNotFound when it is certainly not
// there, kSuccess when it is, another error when it cannot be told.
platform::Status ProfileKeyLookup(Registry& registry, int number) {
  UniqueKey existing;
  return platform::OpenKey(registry, kCurrentUser, ProfileKeyPath(number), Access::Read, existing);
}

// A new profile under `number`, the number "ProfileCount" of `root` holds. When a key is certainly
// there, "ProfileCount" is behind (another program lost a race and put it back, or stopped
// between its two steps): the number after the highest stored one is taken instead, from a walk
// that saw every subkey, so that a store never jams and the profile beyond the count becomes
// visible again. Then the number is taken, "ProfileCount" moves on to the next one and the
// profile is stored; a failure after that takes back what the save changed.
int SaveNewProfile(Registry& registry, KeyHandle root, int number, EnvInfoStr& env,
                   AdapterInfoStr* adapters) {
  const platform::Status lookup = ProfileKeyLookup(registry, number);
  if (lookup == kSuccess) {
    int highest = 0;
    if (HighestProfileNumber(registry, root, highest) != kSuccess) return 0;
    if (highest == std::numeric_limits<int>::max()) return 0;
    number = std::max(number + 1, highest + 1);
    if (!CanTakeProfileNumber(number) ||
        ProfileKeyLookup(registry, number) != platform::kFileNotFound) {
      return 0;
    }
  } else if (lookup != platform::kFileNotFound) {
    return 0;  // whether the number is taken cannot be told: it is not taken
  }
  NewProfileRollback rollback(registry, env.AdapterCount);
  rollback.PrepareCount(root, number);
  const std::u16string next = DecimalText(number + 1);
  env.nProfileKey = number;
  if (WriteText(registry, root, u"ProfileCount", next) != kSuccess) return 0;
  rollback.CountMoved();
  return StoreProfile(registry, number, env, adapters, rollback);
}

// The first save ever: the store root is made with "ProfileCount" = "1" and the profile is
// stored as number 0, whatever the new-profile flag says. When it fails, the root stays with
// "ProfileCount" = "1" and no profile, like a store whose profiles were all deleted, or (when the
// count cannot be written) without "ProfileCount" and without profiles, which the next save takes
// for a first save again.
int SaveFirstProfile(Registry& registry, EnvInfoStr& env, AdapterInfoStr* adapters) {
  UniqueKey root;
  bool created = false;
  if (CreateKey(registry, kCurrentUser, kStoreRoot, root, created) != kSuccess) return 0;
  if (WriteText(registry, root.get(), u"ProfileCount", u"1") != kSuccess) return 0;
  NewProfileRollback rollback(registry, env.AdapterCount);
  return StoreProfile(registry, 0, env, adapters, rollback);
}

// A rewrite of the stored profile `env.nProfileKey`. Adapter keys the profile lacks (its
// AdapterCount grew) are created first and the adapters written before the profile's own values,
// which hold AdapterCount: a rewrite that fails part-way never leaves a count that names adapter
// keys without their values, so the profile stays loadable. Nothing is undone on failure.
int RewriteProfile(Registry& registry, EnvInfoStr& env, AdapterInfoStr* adapters) {
  const int number = env.nProfileKey;
  UniqueKey profile;
  if (platform::OpenKey(registry, kCurrentUser, ProfileKeyPath(number), Access::All, profile) !=
      kSuccess) {
    return 0;
  }
  for (int i = 0; i < env.AdapterCount; ++i) {
    UniqueKey adapter;
    bool created = false;
    if (CreateKey(registry, profile.get(), DecimalText(i), adapter, created) != kSuccess) return 0;
  }
  for (int i = 0; i < env.AdapterCount; ++i) {
    if (WriteAdapterValues(registry, adapters, number, i) != 1) return 0;
  }
  return WriteProfileValues(registry, env, number) == 1 ? 1 : 0;
}

// Whether a key has no subkeys at all; an enumeration error counts as having some.
bool HasNoSubkeys(Registry& registry, KeyHandle key) {
  std::u16string name;
  return registry.EnumKey(key, 0, name) == platform::kNoMoreItems;
}

}  // namespace
}  // namespace nebrin::store

using namespace nebrin;

int CNetInfoManage::SaveProfileInfoToRegistry(EnvInfoStr* env, AdapterInfoStr* adapters,
                                              int newProfile) {
  return nebrin::frame::Guarded(0, [&] {
    if (env == nullptr || adapters == nullptr || !store::ValidAdapterCount(env->AdapterCount))
      return 0;
    // The count is read and moved on, and the keys created, by one writer at a time.
    store::StoreWriteLock lock(platform::Current());
    if (!lock.held()) return 0;
    platform::Registry& registry = platform::Current().registry();

    platform::UniqueKey root;
    const platform::Status opened = platform::OpenKey(
        registry, platform::kCurrentUser, store::kStoreRoot, platform::Access::All, root);
    // Only a store that does not exist yet starts afresh; a root that exists but does not open must
    // not have its "ProfileCount" and profile 0 overwritten.
    if (opened == platform::kFileNotFound) return store::SaveFirstProfile(registry, *env, adapters);
    if (opened != platform::kSuccess) return 0;

    std::u16string count;
    const platform::Status read =
        platform::ReadText(registry, root.get(), u"ProfileCount", store::kNumberRoom, count);
    // A root without "ProfileCount" and without profiles is what a first save leaves when it
    // cannot write the count: the next save is a first save again.
    if (read == platform::kFileNotFound && store::HasNoSubkeys(registry, root.get())) {
      root.reset();
      return store::SaveFirstProfile(registry, *env, adapters);
    }
    if (read != platform::kSuccess) return 0;
    if (newProfile == 0) return store::RewriteProfile(registry, *env, adapters);

    // A count that is negative, or whose successor is no number, gives no number to take.
    const int number = store::ParseNumber(count);
    if (!store::CanTakeProfileNumber(number)) return 0;
    return store::SaveNewProfile(registry, root.get(), number, *env, adapters);
  });
}

int CNetInfoManage::SaveValueForEachProfile(EnvInfoStr* env, int profileNumber) {
  return nebrin::frame::Guarded(0, [&] {
    if (env == nullptr) return 0;
    store::StoreWriteLock lock(platform::Current());
    if (!lock.held()) return 0;
    return store::WriteProfileValues(platform::Current().registry(), *env, profileNumber);
  });
}

int CNetInfoManage::SaveValueForEachAdapter(AdapterInfoStr* adapters, int profileNumber,
                                            int adapterIndex) {
  return nebrin::frame::Guarded(0, [&] {
    if (adapters == nullptr || adapterIndex < 0 || adapterIndex >= NEBRIN_ADAPTER_RECORDS) return 0;
    store::StoreWriteLock lock(platform::Current());
    if (!lock.held()) return 0;
    return store::WriteAdapterValues(platform::Current().registry(), adapters, profileNumber,
                                     adapterIndex);
  });
}

int CNetInfoManage::SaveNameOrPrinter(EnvInfoStr* env) {
  return nebrin::frame::Guarded(0, [&] {
    using frame::FieldText;
    using frame::TerminatedFieldText;
    if (env == nullptr) return 0;
    {
      store::StoreWriteLock lock(platform::Current());
      if (!lock.held()) return 0;
      platform::Registry& registry = platform::Current().registry();
      platform::UniqueKey profile;
      if (platform::OpenKey(registry, platform::kCurrentUser,
                            store::ProfileKeyPath(env->nProfileKey), platform::Access::Write,
                            profile) != platform::kSuccess) {
        return 0;
      }
      // The printer's name before the flag that makes it read.
      store::ValueWriter write(registry, profile.get());
      write(u"strPrinterName", TerminatedFieldText(env->strPrinterName));
      write(u"bDefaultPrinterFlag", store::FlagText(env->bDefaultPrinterFlag));
      write(u"IconIndex", store::DecimalText(env->IconIndex));
      write(u"ProfileName", TerminatedFieldText(env->ProfileName));
      if (!write.ok()) return 0;
    }
    if (env->bDefaultPrinterFlag != 0) {
      return platform::Current().spooler().SetDefaultPrinter(FieldText(env->strPrinterName)) ==
                     platform::kSuccess
                 ? 1
                 : 0;
    }
    return 1;
  });
}
