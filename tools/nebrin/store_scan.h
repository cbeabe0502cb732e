// The host's own look at the profile store, read only, beside the library's catalogue: which
// profile keys exist, the store's "ProfileCount" and "LastProfileNo", a profile's stored name. It
// finds what the catalogue passes over (damaged profiles) and tells apart why a profile is missing.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace nebrin::host {

struct StoreScan {
  std::optional<int> profileCount;  // "ProfileCount", when it reads as a number
  std::vector<int> numbers;         // profile keys (decimal names), ascending
};

// Reads the store root; an empty scan when there is none.
StoreScan ScanStore();

// Whether the profile key `number` exists.
bool ProfileKeyExists(int number);

// A profile's "ProfileName" text (any length), or nothing when it cannot be read as text.
std::optional<std::u16string> StoredName(int number);

// A profile's "IconIndex" text as a number (read as the library reads numbers), or nothing when
// it is missing or not text.
std::optional<int> StoredIcon(int number);

// "LastProfileNo" as a number, or nothing when no profile was applied yet.
std::optional<int> LastProfileNumber();

}  // namespace nebrin::host
