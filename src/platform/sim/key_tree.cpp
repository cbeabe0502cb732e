#include "platform/sim/key_tree.h"

#include <algorithm>

#include "platform/sim/sim_text.h"

namespace nebrin::sim {
namespace {

void MarkDeleted(Key& key) {
  key.deleted = true;
  key.parent = nullptr;
  for (auto& [folded, child] : key.subkeys) MarkDeleted(*child);
}

}  // namespace

Key* Key::FindSubkey(std::u16string_view name) const {
  auto it = subkeys.find(FoldName(name));
  return it == subkeys.end() ? nullptr : it->second.get();
}

std::shared_ptr<Key> Key::SharedSubkey(std::u16string_view name) const {
  auto it = subkeys.find(FoldName(name));
  return it == subkeys.end() ? nullptr : it->second;
}

NamedValue* Key::FindValue(std::u16string_view name) {
  auto it = std::find_if(values.begin(), values.end(),
                         [&](const NamedValue& v) { return SameName(v.name, name); });
  return it == values.end() ? nullptr : &*it;
}

const NamedValue* Key::FindValue(std::u16string_view name) const {
  return const_cast<Key*>(this)->FindValue(name);
}

std::shared_ptr<Key> Key::AddSubkey(std::u16string name) {
  auto child = std::make_shared<Key>();
  child->parent = this;
  std::u16string folded = FoldName(name);
  child->name = std::move(name);
  subkeys.insert(std::make_pair(std::move(folded), child));
  return child;
}

const Key* Key::SubkeyAt(std::size_t index) const {
  if (index >= subkeys.size()) return nullptr;
  return subkeys.find_by_order(index)->second.get();
}

void Key::PutValue(std::u16string_view name, RegValue value) {
  if (NamedValue* existing = FindValue(name)) {
    existing->value = std::move(value);
    return;
  }
  values.push_back(NamedValue{std::u16string(name), std::move(value)});
}

bool Key::EraseValue(std::u16string_view name) {
  auto it = std::find_if(values.begin(), values.end(),
                         [&](const NamedValue& v) { return SameName(v.name, name); });
  if (it == values.end()) return false;
  values.erase(it);
  return true;
}

bool Key::EraseSubkey(std::u16string_view name) {
  auto it = subkeys.find(FoldName(name));
  if (it == subkeys.end()) return false;
  std::shared_ptr<Key> child = std::move(it->second);
  subkeys.erase(it);
  MarkDeleted(*child);
  return true;
}

std::vector<std::u16string> SplitPath(std::u16string_view path) {
  std::vector<std::u16string> parts;
  std::size_t pos = 0;
  while (pos <= path.size()) {
    std::size_t end = path.find(u'\\', pos);
    if (end == std::u16string_view::npos) end = path.size();
    if (end > pos) parts.emplace_back(path.substr(pos, end - pos));
    pos = end + 1;
  }
  return parts;
}

Key* FindPath(Key& from, std::u16string_view path) {
  Key* key = &from;
  for (const auto& part : SplitPath(path)) {
    key = key->FindSubkey(part);
    if (key == nullptr) return nullptr;
  }
  return key;
}

const Key* FindPath(const Key& from, std::u16string_view path) {
  return FindPath(const_cast<Key&>(from), path);
}

Key& CreatePath(Key& from, std::u16string_view path) {
  Key* key = &from;
  for (auto& part : SplitPath(path)) {
    Key* next = key->FindSubkey(part);
    key = next ? next : key->AddSubkey(std::move(part)).get();
  }
  return *key;
}

}  // namespace nebrin::sim
