// The model behind a simulated machine's services: system state, adapter list, the two hives, the
// open key handles and the call accounting.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "platform/sim/call_accounting.h"
#include "platform/sim/key_tree.h"
#include "platform/sim/machine.h"
#include "platform/sim/sim_adapter_list.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_system.h"

namespace nebrin::sim {

struct Machine::State {
  // A key opened through the registry service.
  struct OpenedKey {
    std::shared_ptr<Key> key;
    platform::Access access = platform::Access::Read;
    bool localMachine = false;  // in HKEY_LOCAL_MACHINE, where writes need administrative rights
  };

  SystemState system;
  std::vector<ListedAdapter> adapters;
  std::shared_ptr<Key> currentUser = std::make_shared<Key>();
  std::shared_ptr<Key> localMachine = std::make_shared<Key>();
  std::map<platform::KeyHandle, OpenedKey> handles;
  // Handles are never reused, so a closed handle stays invalid.
  platform::KeyHandle nextHandle = 0x100;
  CallAccounting accounting;

  SimRegistry registry{*this};
  SimAdapterList adapterList{*this};
  SimSystemInfo systemInfo{*this};
  SimTextCodec textCodec{*this};

  // The hive of a root handle (kHkcu or kHklm), or null.
  Key* Hive(platform::KeyHandle root) const;
  // Like Hive, for the direct-access members: throws std::invalid_argument for another handle.
  Key& HiveOrThrow(platform::KeyHandle root) const;
};

}  // namespace nebrin::sim
