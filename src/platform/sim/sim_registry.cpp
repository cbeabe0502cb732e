#include "platform/sim/sim_registry.h"

#include <cstring>
#include <iterator>
#include <new>

#include "platform/sim/machine_state.h"
#include "platform/sim/sim_text.h"

namespace nebrin::sim {
namespace {

using platform::Access;
using platform::kAccessDenied;
using platform::KeyHandle;
using platform::kFileNotFound;
using platform::kInvalidHandle;
using platform::kInvalidParameter;
using platform::kKeyDeleted;
using platform::kMoreData;
using platform::kNoKey;
using platform::kNoMoreItems;
using platform::kNotEnoughMemory;
using platform::kSuccess;

// A handle resolved to its key, with the rights it was opened with. The roots grant everything.
struct Resolved {
  std::shared_ptr<Key> key;
  Access access = Access::All;
  bool localMachine = false;
};

Status Resolve(const Machine::State& machine, KeyHandle handle, Resolved& out) {
  if (handle == kHkcu) {
    out = Resolved{machine.currentUser, Access::All, false};
    return kSuccess;
  }
  if (handle == kHklm) {
    out = Resolved{machine.localMachine, Access::All, true};
    return kSuccess;
  }
  auto it = machine.handles.find(handle);
  if (it == machine.handles.end()) return kInvalidHandle;
  out = Resolved{it->second.key, it->second.access, it->second.localMachine};
  return out.key->deleted ? kKeyDeleted : kSuccess;
}

// Changing HKEY_LOCAL_MACHINE takes administrative rights.
bool HiveAllowsWrites(const Machine::State& machine, bool localMachine) {
  return !localMachine || machine.system.administrator;
}

// KEY_WRITE carries no right to read values or list subkeys; KEY_READ none to change them.
bool MayRead(const Resolved& r) { return r.access != Access::Write; }
bool MayWrite(const Machine::State& machine, const Resolved& r) {
  return r.access != Access::Read && HiveAllowsWrites(machine, r.localMachine);
}

}  // namespace

Status SimRegistry::OpenKey(KeyHandle parent, const std::u16string& path, Access access,
                            KeyHandle& key) {
  key = kNoKey;
  try {
    if (Status fault = machine_.accounting.Enter(Service::Registry)) return fault;
    Resolved from;
    if (Status status = Resolve(machine_, parent, from)) return status;
    std::shared_ptr<Key> target = from.key;
    for (const auto& part : SplitPath(path)) {
      target = target->SharedSubkey(part);
      if (!target) return kFileNotFound;
    }
    if (access != Access::Read && !HiveAllowsWrites(machine_, from.localMachine)) {
      return kAccessDenied;
    }
    const KeyHandle handle = machine_.nextHandle;
    machine_.handles.emplace(handle, Machine::State::OpenedKey{target, access, from.localMachine});
    machine_.nextHandle += 4;
    key = handle;
    return kSuccess;
  } catch (const std::bad_alloc&) {
    return kNotEnoughMemory;
  }
}

Status SimRegistry::CreateKey(KeyHandle parent, const std::u16string& path, Access access,
                              KeyHandle& key, bool& created) {
  key = kNoKey;
  created = false;
  try {
    if (Status fault = machine_.accounting.Enter(Service::Registry)) return fault;
    Resolved from;
    if (Status status = Resolve(machine_, parent, from)) return status;
    if (access != Access::Read && !HiveAllowsWrites(machine_, from.localMachine)) {
      return kAccessDenied;
    }
    const std::vector<std::u16string> parts = SplitPath(path);
    std::shared_ptr<Key> target = from.key;
    std::size_t existing = 0;
    for (; existing < parts.size(); ++existing) {
      std::shared_ptr<Key> next = target->SharedSubkey(parts[existing]);
      if (!next) break;
      target = std::move(next);
    }
    // The missing part of the path is built aside and attached last, so that running out of
    // memory leaves the tree as it was.
    std::shared_ptr<Key> branch;
    const std::shared_ptr<Key> deepest = target;
    if (existing < parts.size()) {
      // Creating a subkey takes KEY_CREATE_SUB_KEY on the handle given.
      if (from.access == Access::Read || !HiveAllowsWrites(machine_, from.localMachine)) {
        return kAccessDenied;
      }
      branch = std::make_shared<Key>();
      branch->name = parts[existing];
      std::shared_ptr<Key> leaf = branch;
      for (std::size_t i = existing + 1; i < parts.size(); ++i) leaf = leaf->AddSubkey(parts[i]);
      target = std::move(leaf);
    }
    const KeyHandle handle = machine_.nextHandle;
    const auto slot =
        machine_.handles
            .emplace(handle, Machine::State::OpenedKey{target, access, from.localMachine})
            .first;
    if (branch) {
      try {
        branch->parent = deepest.get();
        deepest->subkeys.insert(std::make_pair(FoldName(branch->name), branch));
      } catch (...) {
        machine_.handles.erase(slot);
        throw;
      }
    }
    machine_.nextHandle += 4;
    key = handle;
    created = branch != nullptr;
    if (created) machine_.RegistryWritten();
    return kSuccess;
  } catch (const std::bad_alloc&) {
    return kNotEnoughMemory;
  }
}

void SimRegistry::CloseKey(KeyHandle key) { machine_.handles.erase(key); }

Status SimRegistry::QueryValue(KeyHandle key, const std::u16string& name, RegType& type, void* data,
                               std::uint32_t& size) {
  try {
    if (Status fault = machine_.accounting.Enter(Service::Registry)) return fault;
    Resolved r;
    if (Status status = Resolve(machine_, key, r)) return status;
    if (!MayRead(r)) return kAccessDenied;
    const NamedValue* value = r.key->FindValue(name);
    if (value == nullptr) return kFileNotFound;
    type = value->value.type;
    const auto needed = static_cast<std::uint32_t>(value->value.bytes.size());
    if (data == nullptr) {
      size = needed;
      return kSuccess;
    }
    if (size < needed) {
      size = needed;
      return kMoreData;
    }
    if (needed != 0) std::memcpy(data, value->value.bytes.data(), needed);
    size = needed;
    return kSuccess;
  } catch (const std::bad_alloc&) {
    return kNotEnoughMemory;
  }
}

Status SimRegistry::SetValue(KeyHandle key, const std::u16string& name, RegType type,
                             const void* data, std::uint32_t size) {
  try {
    if (Status fault = machine_.accounting.Enter(Service::Registry)) return fault;
    Resolved r;
    if (Status status = Resolve(machine_, key, r)) return status;
    if (!MayWrite(machine_, r)) return kAccessDenied;
    if (data == nullptr && size != 0) return kInvalidParameter;
    RegValue value;
    value.type = type;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (size != 0) value.bytes.assign(bytes, bytes + size);
    r.key->PutValue(name, std::move(value));
    machine_.RegistryWritten();
    return kSuccess;
  } catch (const std::bad_alloc&) {
    return kNotEnoughMemory;
  }
}

Status SimRegistry::DeleteValue(KeyHandle key, const std::u16string& name) {
  try {
    if (Status fault = machine_.accounting.Enter(Service::Registry)) return fault;
    Resolved r;
    if (Status status = Resolve(machine_, key, r)) return status;
    if (!MayWrite(machine_, r)) return kAccessDenied;
    if (!r.key->EraseValue(name)) return kFileNotFound;
    machine_.RegistryWritten();
    return kSuccess;
  } catch (const std::bad_alloc&) {
    return kNotEnoughMemory;
  }
}

Status SimRegistry::DeleteKey(KeyHandle parent, const std::u16string& subkey) {
  try {
    if (Status fault = machine_.accounting.Enter(Service::Registry)) return fault;
    Resolved from;
    if (Status status = Resolve(machine_, parent, from)) return status;
    // As with RegDeleteKeyW, the rights of the handle given do not matter; the hive's do. An empty
    // name deletes the handle's own key.
    Key* target = FindPath(*from.key, subkey);
    if (target == nullptr) return kFileNotFound;
    if (target->parent == nullptr) return kAccessDenied;  // a hive root
    if (!HiveAllowsWrites(machine_, from.localMachine)) return kAccessDenied;
    if (!target->subkeys.empty()) return kAccessDenied;
    target->parent->EraseSubkey(target->name);
    machine_.RegistryWritten();
    return kSuccess;
  } catch (const std::bad_alloc&) {
    return kNotEnoughMemory;
  }
}

Status SimRegistry::EnumKey(KeyHandle key, std::uint32_t index, std::u16string& name) {
  try {
    name.clear();
    if (Status fault = machine_.accounting.Enter(Service::Registry)) return fault;
    Resolved r;
    if (Status status = Resolve(machine_, key, r)) return status;
    if (!MayRead(r)) return kAccessDenied;
    const Key* subkey = r.key->SubkeyAt(index);
    if (subkey == nullptr) return kNoMoreItems;
    name = subkey->name;
    return kSuccess;
  } catch (const std::bad_alloc&) {
    return kNotEnoughMemory;
  }
}

Status SimRegistry::EnumValue(KeyHandle key, std::uint32_t index, std::u16string& name) {
  try {
    name.clear();
    if (Status fault = machine_.accounting.Enter(Service::Registry)) return fault;
    Resolved r;
    if (Status status = Resolve(machine_, key, r)) return status;
    if (!MayRead(r)) return kAccessDenied;
    if (index >= r.key->values.size()) return kNoMoreItems;
    name = r.key->values[index].name;
    return kSuccess;
  } catch (const std::bad_alloc&) {
    return kNotEnoughMemory;
  }
}

}  // namespace nebrin::sim
