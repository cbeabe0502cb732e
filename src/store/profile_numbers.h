// The walk the catalogue makes over profile numbers 0 to "ProfileCount" - 1, opening the key of
// each number in ascending order.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "platform/registry.h"
#include "platform/registry_key.h"

namespace nebrin::store {

// "ProfileCount" is written by any program that keeps the store, and one that is far above the
// stored profiles (2147483647) would cost one key opening per number: hours of a host waiting on
// a real registry. So once kMissesBeforeListing numbers in a row have no key, the walk lists the
// root's subkeys once and goes on with only the numbers a subkey is named by; a number no subkey
// is named by has no key to open, so the keys found are the same. When the root cannot be listed
// the walk goes on number by number.
class ProfileNumberWalk {
 public:
  static constexpr int kMissesBeforeListing = 64;

  ProfileNumberWalk(platform::Registry& registry, platform::KeyHandle root, int next)
      : registry_(registry), root_(root), next_(next) {}

  // Opens the next profile key that opens: true with its number and the key, false at the end.
  bool Next(int& number, platform::UniqueKey& key);

 private:
  bool Open(int number, platform::UniqueKey& key);
  // The numbers from `from` below next_ that name a subkey (in the form the store writes them),
  // ascending; nullopt when the root cannot be listed.
  std::optional<std::vector<int>> ListedNumbers(int from);

  platform::Registry& registry_;
  platform::KeyHandle root_;
  int next_;
  int number_ = 0;
  int misses_ = 0;
  bool listingFailed_ = false;
  std::optional<std::vector<int>> listed_;
  std::size_t position_ = 0;
};

}  // namespace nebrin::store
