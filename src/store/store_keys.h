// Where the profile store lives: the store root under HKEY_CURRENT_USER, one key per profile
// named by its number, one key per adapter named by its index, and the machine-wide wireless key
// under HKEY_LOCAL_MACHINE.
#pragma once

#include <string>

#include "store/store_values.h"

namespace nebrin::store {

inline constexpr char16_t kStoreRoot[] = u"Software\\Corvane\\Nebrin";
inline constexpr char16_t kMachineWideKey[] = u"SOFTWARE\\CORVANE\\Nebrin";

inline std::u16string ProfileKeyPath(int profile) {
  return std::u16string(kStoreRoot) + u"\\" + DecimalText(profile);
}

inline std::u16string AdapterKeyPath(int profile, int adapter) {
  return ProfileKeyPath(profile) + u"\\" + DecimalText(adapter);
}

}  // namespace nebrin::store
