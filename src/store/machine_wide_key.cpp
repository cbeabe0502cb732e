// The machine-wide wireless key: publishes the private wireless network of the applied profile
// (name, key and adapter) under HKEY_LOCAL_MACHINE for programs outside the library.
#include <string>

#include "NebrinCoreDll.h"
#include "frame/no_throw.h"
#include "frame/record_text.h"
#include "platform/platform.h"
#include "platform/registry_key.h"
#include "store/store_keys.h"
#include "store/store_lock.h"
#include "store/store_values.h"

using namespace nebrin;

namespace {

// Each text passes through a working buffer of 200 units, terminator included.
std::u16string Buffered(std::u16string text) {
  constexpr std::size_t kWorkingBuffer = 200;
  if (text.size() >= kWorkingBuffer) text.resize(kWorkingBuffer - 1);
  return text;
}

}  // namespace

int CNetInfoManage::MakeHKLMNebrinKey(EnvInfoStr* env) {
  return nebrin::frame::Guarded(0, [&] {
    using frame::FieldText;
    if (env == nullptr) return 0;
    store::StoreWriteLock lock(platform::Current());
    if (!lock.held()) return 0;
    platform::Registry& registry = platform::Current().registry();
    platform::UniqueKey key;
    if (platform::OpenKey(registry, platform::kLocalMachine, store::kMachineWideKey,
                          platform::Access::Write, key) != platform::kSuccess) {
      bool created = false;
      if (store::CreateKey(registry, platform::kLocalMachine, store::kMachineWideKey, key,
                           created) != platform::kSuccess) {
        return 0;
      }
    }
    const std::pair<const char16_t*, std::u16string> values[] = {
        {u"SSID", Buffered(FieldText(env->strWLANConnectionName))},
        {u"WEPKEY", Buffered(FieldText(env->strWLANPassWord))},
        {u"KEYENABLE", env->bWLANWebKeyUse == 1 ? u"yes" : u"no"},
        {u"GUID", Buffered(FieldText(env->strPrivateDevGUID))},
    };
    for (const auto& [name, text] : values) {
      if (store::WriteText(registry, key.get(), name, text) != platform::kSuccess) return 0;
    }
    return 1;
  });
}

int CNetInfoManage::DeleteHKLMNebrinKey() {
  return nebrin::frame::Guarded(0, [&] {
    platform::Registry& registry = platform::Current().registry();
    {
      // Opened for reading only: without administrative rights the key still opens, and the
      // deletion below then fails as it should.
      // Only a key that does not exist is gone; one that does not open still holds the wireless
      // key text.
      platform::UniqueKey key;
      const platform::Status opened = platform::OpenKey(
          registry, platform::kLocalMachine, store::kMachineWideKey, platform::Access::Read, key);
      if (opened == platform::kFileNotFound) return 1;
      if (opened != platform::kSuccess) return 0;
    }
    // A key that is not there needs no writer's turn: the mutex is taken only to delete.
    store::StoreWriteLock lock(platform::Current());
    if (!lock.held()) return 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
      if (registry.DeleteKey(platform::kLocalMachine, store::kMachineWideKey) ==
          platform::kSuccess) {
        return 1;
      }
    }
    return 0;
  });
}
