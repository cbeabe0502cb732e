// The encoding of the profile store's values: every value is REG_SZ text with one terminating
// NUL; numbers are signed decimal text, flags "true"/"false", sharing roles
// "normal"/"server"/"client". Reading follows the rules other programs already rely on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "platform/registry.h"
#include "platform/registry_key.h"

namespace nebrin::store {

// Room, in UTF-16 units, for the texts the store reads without a record field to bound them.
inline constexpr std::size_t kNumberRoom = 100;  // "ProfileCount", "LastProfileNo", numbers, flags
inline constexpr std::size_t kSubkeyNameRoom = 100;

// The icon of a catalogue entry whose profile's name or icon cannot be read; its name is empty.
inline constexpr int kDamagedIcon = -1;

// The record's adapter array has ten entries; a count beyond it cannot be saved or loaded.
inline bool ValidAdapterCount(int count) { return count >= 0 && count <= 10; }

// Whether a new profile can take `number` from "ProfileCount": a number is never negative (-1 is
// the never-stored profile), and the count after it, number + 1, must still be a number.
inline bool CanTakeProfileNumber(int number) {
  return number >= 0 && number < std::numeric_limits<int>::max();
}

std::u16string DecimalText(int number);
// Like a standard decimal-to-integer conversion: leading white space and a sign are accepted,
// the first non-digit ends the number, text without digits gives 0. Out-of-range numbers clamp.
int ParseNumber(std::u16string_view text);

std::u16string_view FlagText(int flag);   // "true" only for exactly 1
int ParseFlag(std::u16string_view text);  // 1 only for exactly "true"

std::u16string_view SharingRoleText(int role);  // 1 "server", 2 "client", else "normal"
int ParseSharingRole(std::u16string_view text);

// Writes `text` as REG_SZ: its code units and one terminating NUL.
platform::Status WriteText(platform::Registry& registry, platform::KeyHandle key,
                           const std::u16string& name, std::u16string_view text);

// The name of a key's subkey at `index`, read with room for kSubkeyNameRoom units: a longer name
// answers kMoreData, as the system's enumeration does with that room.
platform::Status SubkeyName(platform::Registry& registry, platform::KeyHandle key,
                            std::uint32_t index, std::u16string& name);

// The highest profile number among the subkeys of the store root `root` (0 when none is higher).
// Names that do not fit the room are passed over; any other enumeration error ends the walk and
// is returned, as a number from a partial walk could be one that is in use.
platform::Status HighestProfileNumber(platform::Registry& registry, platform::KeyHandle root,
                                      int& highest);

// Opens or creates a key (RegCreateKeyExW) and hands it to `key`.
platform::Status CreateKey(platform::Registry& registry, platform::KeyHandle parent,
                           const std::u16string& path, platform::UniqueKey& key, bool& created);

// Opens the store root for reading and reads one of its numbers ("ProfileCount",
// "LastProfileNo"); false when either fails. The root stays open in `root`.
bool ReadRootNumber(platform::Registry& registry, const std::u16string& name,
                    platform::UniqueKey& root, int& number);

}  // namespace nebrin::store
