// Registry service: the subset of the Win32 registry API the library uses, with its semantics.
#pragma once

#include <cstdint>
#include <string>

#include "platform/status.h"

namespace nebrin::platform {

// Opaque key handle. The two predefined roots carry the values Windows gives them.
using KeyHandle = std::uintptr_t;
inline constexpr KeyHandle kNoKey = 0;
inline constexpr KeyHandle kCurrentUser = 0x80000001u;   // HKEY_CURRENT_USER
inline constexpr KeyHandle kLocalMachine = 0x80000002u;  // HKEY_LOCAL_MACHINE

enum class RegType : std::uint32_t {
  None = 0,
  String = 1,        // REG_SZ
  ExpandString = 2,  // REG_EXPAND_SZ
  Binary = 3,        // REG_BINARY
  Dword = 4,         // REG_DWORD
  MultiString = 7,   // REG_MULTI_SZ
};

enum class Access { Read, Write, All };  // KEY_READ, KEY_WRITE, KEY_ALL_ACCESS

class Registry {
 public:
  virtual ~Registry() = default;

  // RegOpenKeyExW: kFileNotFound when the key does not exist; kAccessDenied for write access to a
  // key the caller may not change.
  virtual Status OpenKey(KeyHandle parent, const std::u16string& path, Access access,
                         KeyHandle& key) = 0;
  // RegCreateKeyExW: opens the key, creating it and any missing parents. `created` is set to
  // whether the last component was new.
  virtual Status CreateKey(KeyHandle parent, const std::u16string& path, Access access,
                           KeyHandle& key, bool& created) = 0;
  // RegCloseKey. Never fails for a handle this service gave out; the roots are ignored.
  virtual void CloseKey(KeyHandle key) = 0;
  // RegQueryValueExW: with data null only the size is reported. When `size` bytes are too few,
  // kMoreData is returned and `size` holds the size needed. kFileNotFound for a missing value.
  virtual Status QueryValue(KeyHandle key, const std::u16string& name, RegType& type, void* data,
                            std::uint32_t& size) = 0;
  // RegSetValueExW: stores `size` bytes as given.
  virtual Status SetValue(KeyHandle key, const std::u16string& name, RegType type,
                          const void* data, std::uint32_t size) = 0;
  // RegDeleteValueW.
  virtual Status DeleteValue(KeyHandle key, const std::u16string& name) = 0;
  // RegDeleteKeyW: deletes a key without subkeys (kAccessDenied when it has some).
  virtual Status DeleteKey(KeyHandle parent, const std::u16string& subkey) = 0;
  // RegEnumKeyExW / RegEnumValueW: the name at `index`, kNoMoreItems past the last one.
  virtual Status EnumKey(KeyHandle key, std::uint32_t index, std::u16string& name) = 0;
  virtual Status EnumValue(KeyHandle key, std::uint32_t index, std::u16string& name) = 0;
};

}  // namespace nebrin::platform
