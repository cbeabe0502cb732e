// Adapter matching and change status: which of a stored profile's adapters are present, and
// whether the machine runs with the profile's settings after the network shell has applied them.
#include <cstdint>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "frame/no_throw.h"
#include "frame/record_text.h"
#include "frame/shared_objects.h"
#include "netstate/adapter_confirmation.h"
#include "netstate/poll_pause.h"
#include "platform/platform.h"
#include "platform/registry_key.h"
#include "store/store_keys.h"

namespace nebrin::netstate {
namespace {

constexpr std::size_t kAdapterNameField = 100;  // AdapterInfoStr::AdapterName

bool IsListed(const std::vector<platform::AdapterListEntry>& entries, const std::u16string& name) {
  for (const auto& listed : entries) {
    std::u16string converted;
    if (ListedName(listed, converted) && converted == name) return true;
  }
  return false;
}

// The host's array has ten records: a count beyond it would have the walks read (and
// CheckAdapterExist write) past the last one.
bool ValidAdapterRecords(const EnvInfoStr& env) {
  return env.AdapterCount <= NEBRIN_ADAPTER_RECORDS;
}

}  // namespace

void WaitUntilNoNetworkShell(CNetInfoManage& manage) {
  NebrinChar shell[] = {'n', 'e', 't', 's', 'h', '.', 'e', 'x', 'e', 0};
  while (manage.CheckOSStatus(shell) != 0) PollPause();
}

}  // namespace nebrin::netstate

int CNetInfoManage::CheckAdapterExist(EnvInfoStr* env, AdapterInfoStr* adapters, int index) {
  return nebrin::frame::Guarded(0, [&] {
    using namespace nebrin;
    if (env == nullptr || adapters == nullptr || !netstate::ValidAdapterRecords(*env) ||
        index < 0 || index >= env->AdapterCount) {
      return 0;
    }
    platform::Registry& registry = platform::Current().registry();
    platform::UniqueKey key;
    if (platform::OpenKey(registry, platform::kCurrentUser,
                          store::AdapterKeyPath(env->nProfileKey, index), platform::Access::Read,
                          key) != platform::kSuccess) {
      return 0;
    }
    // A stored name that does not fit the field counts as missing: cut short it would name
    // another adapter.
    std::u16string stored;
    if (platform::ReadText(registry, key.get(), u"AdapterName", netstate::kAdapterNameField,
                           stored) != platform::kSuccess) {
      return 0;
    }
    frame::SetField(adapters[index].AdapterName, stored);

    std::vector<platform::AdapterListEntry> entries;
    if (!platform::ReadAdapterList(platform::Current().adapters(), entries)) return 0;
    return netstate::IsListed(entries, stored) ? 1 : 0;
  });
}

int CNetInfoManage::FindSavedDevice(EnvInfoStr* env, AdapterInfoStr* adapters) {
  return nebrin::frame::Guarded(0, [&] {
    using namespace nebrin;
    if (env == nullptr || adapters == nullptr || !netstate::ValidAdapterRecords(*env)) return 0;
    const std::u16string publicGuid = frame::FieldText(env->strPublicDevGUID);
    const std::u16string privateGuid = frame::FieldText(env->strPrivateDevGUID);
    switch (env->nICSFlag) {
      case 1:  // sharing host: the public and the private adapter
        for (int i = 0; i < env->AdapterCount; ++i) {
          const std::u16string name = frame::FieldText(adapters[i].AdapterName);
          if ((name == publicGuid || name == privateGuid) &&
              CheckAdapterExist(env, adapters, i) == 0) {
            return 0;
          }
        }
        return 1;
      case 2:  // sharing client: the private adapter
        for (int i = 0; i < env->AdapterCount; ++i) {
          if (frame::FieldText(adapters[i].AdapterName) == privateGuid &&
              CheckAdapterExist(env, adapters, i) == 0) {
            return 0;
          }
        }
        return 1;
      default: {  // no sharing: any adapter of the profile; every entry is examined
        int found = 0;
        for (int i = 0; i < env->AdapterCount; ++i) {
          if (CheckAdapterExist(env, adapters, i) == 1) found = 1;
        }
        return found;
      }
    }
  });
}

int CNetInfoManage::GetChangeStatus(EnvInfoStr* env, AdapterInfoStr* adapters) {
  return nebrin::frame::Guarded(0, [&] {
    using namespace nebrin;
    if (env == nullptr || adapters == nullptr || !netstate::ValidAdapterRecords(*env)) return 0;
    netstate::WaitUntilNoNetworkShell(*this);

    platform::AdapterList& list = platform::Current().adapters();
    std::uint32_t bytes = 0;
    const platform::Status size = list.QuerySize(bytes);
    if (size != platform::kSuccess && size != platform::kBufferOverflow) return 0;

    int expected = 0;
    for (int k = 0; k < env->AdapterCount; ++k) {
      if (CheckAdapterExist(env, adapters, k) == 1) ++expected;
    }
    if (expected == 0) return 0;

    std::vector<platform::AdapterListEntry> entries;
    if (list.Fill(bytes, entries) != platform::kSuccess) return 0;
    int confirmed = 0;
    for (int k = 0; k < env->AdapterCount; ++k) {
      if (netstate::Confirms(entries, adapters[k])) ++confirmed;
    }
    return confirmed == expected ? 1 : 0;
  });
}
