// Direct access to the simulated registry for tests and machine builders: no accounting, no
// faults, no rights checks.
#include <stdexcept>

#include "platform/sim/machine.h"
#include "platform/sim/machine_state.h"
#include "platform/sim/sim_text.h"

namespace nebrin::sim {

void Machine::SetValue(platform::KeyHandle root, std::string_view path, std::string_view name,
                       RegValue value) {
  CreatePath(state_->HiveOrThrow(root), Utf8ToUtf16(path))
      .PutValue(Utf8ToUtf16(name), std::move(value));
}

void Machine::SetString(platform::KeyHandle root, std::string_view path, std::string_view name,
                        std::string_view utf8) {
  SetValue(root, path, name, RegValue::String(utf8));
}

void Machine::SetDword(platform::KeyHandle root, std::string_view path, std::string_view name,
                       std::uint32_t value) {
  SetValue(root, path, name, RegValue::Dword(value));
}

void Machine::CreateKeyPath(platform::KeyHandle root, std::string_view path) {
  CreatePath(state_->HiveOrThrow(root), Utf8ToUtf16(path));
}

std::optional<RegValue> Machine::GetValue(platform::KeyHandle root, std::string_view path,
                                          std::string_view name) const {
  const Key* key = FindPath(state_->HiveOrThrow(root), Utf8ToUtf16(path));
  const NamedValue* value = key ? key->FindValue(Utf8ToUtf16(name)) : nullptr;
  if (value == nullptr) return std::nullopt;
  return value->value;
}

std::optional<std::string> Machine::GetString(platform::KeyHandle root, std::string_view path,
                                              std::string_view name) const {
  std::optional<RegValue> value = GetValue(root, path, name);
  if (!value || (value->type != RegType::String && value->type != RegType::ExpandString &&
                 value->type != RegType::MultiString)) {
    return std::nullopt;
  }
  return Utf16ToUtf8(FirstString(value->bytes));
}

bool Machine::KeyExists(platform::KeyHandle root, std::string_view path) const {
  return FindPath(state_->HiveOrThrow(root), Utf8ToUtf16(path)) != nullptr;
}

std::vector<std::string> Machine::SubkeyNames(platform::KeyHandle root,
                                              std::string_view path) const {
  std::vector<std::string> names;
  if (const Key* key = FindPath(state_->HiveOrThrow(root), Utf8ToUtf16(path))) {
    for (const auto& [folded, child] : key->subkeys) names.push_back(Utf16ToUtf8(child->name));
  }
  return names;
}

std::vector<std::string> Machine::ValueNames(platform::KeyHandle root,
                                             std::string_view path) const {
  std::vector<std::string> names;
  if (const Key* key = FindPath(state_->HiveOrThrow(root), Utf8ToUtf16(path))) {
    for (const auto& value : key->values) names.push_back(Utf16ToUtf8(value.name));
  }
  return names;
}

bool Machine::RemoveValue(platform::KeyHandle root, std::string_view path, std::string_view name) {
  Key* key = FindPath(state_->HiveOrThrow(root), Utf8ToUtf16(path));
  return key != nullptr && key->EraseValue(Utf8ToUtf16(name));
}

bool Machine::RemoveKeyTree(platform::KeyHandle root, std::string_view path) {
  Key* key = FindPath(state_->HiveOrThrow(root), Utf8ToUtf16(path));
  if (key == nullptr || key->parent == nullptr) return false;  // missing, or the hive itself
  return key->parent->EraseSubkey(key->name);
}

}  // namespace nebrin::sim
