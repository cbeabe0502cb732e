// The registry as the simulated machine stores it: a tree of keys per hive. Subkeys are kept by
// their folded name (so they enumerate in case-insensitive order) in a tree that also finds the
// n-th one directly, as enumeration by index asks; values in the order they were first created;
// both keep the case they were created with.
#pragma once

#include <ext/pb_ds/assoc_container.hpp>
#include <ext/pb_ds/tree_policy.hpp>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/machine.h"

namespace nebrin::sim {

struct NamedValue {
  std::u16string name;
  RegValue value;
};

struct Key;

// Subkeys by folded name, ordered, with the position of each known (libstdc++'s policy-based
// tree with order statistics): the n-th subkey is found in logarithmic time.
using SubkeyTree =
    __gnu_pbds::tree<std::u16string, std::shared_ptr<Key>, std::less<std::u16string>,
                     __gnu_pbds::rb_tree_tag, __gnu_pbds::tree_order_statistics_node_update>;

struct Key {
  std::u16string name;
  Key* parent = nullptr;  // null for a hive root and for a deleted key
  bool deleted = false;   // set when the key leaves the tree; open handles then see kKeyDeleted
  SubkeyTree subkeys;     // by folded name
  std::vector<NamedValue> values;

  Key* FindSubkey(std::u16string_view name) const;
  NamedValue* FindValue(std::u16string_view name);
  const NamedValue* FindValue(std::u16string_view name) const;
  // Adds a subkey (the name must be new) and returns it.
  std::shared_ptr<Key> AddSubkey(std::u16string name);
  // Sets a value in place when it exists (keeping its name and position), else appends it.
  void PutValue(std::u16string_view name, RegValue value);
  bool EraseValue(std::u16string_view name);
  // Detaches a subkey and marks it and everything below it deleted.
  bool EraseSubkey(std::u16string_view name);
  std::shared_ptr<Key> SharedSubkey(std::u16string_view name) const;
  // The subkey at `index` in enumeration order, or null past the last one.
  const Key* SubkeyAt(std::size_t index) const;
};

// The components of a backslash-separated path; empty components are skipped.
std::vector<std::u16string> SplitPath(std::u16string_view path);

// The key at `path` below `from`, or null.
Key* FindPath(Key& from, std::u16string_view path);
const Key* FindPath(const Key& from, std::u16string_view path);
// The key at `path` below `from`, created with any missing parents.
Key& CreatePath(Key& from, std::u16string_view path);

}  // namespace nebrin::sim
