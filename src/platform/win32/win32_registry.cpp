#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <vector>

#include "platform/win32/wide_text.h"

namespace nebrin::platform::win32 {
namespace {

// The seam names the roots by their 32-bit values; on x86-64 the real HKEYs are those values
// sign-extended, so the roots are translated explicitly in both directions.
HKEY ToHkey(KeyHandle key) {
  if (key == kCurrentUser) return HKEY_CURRENT_USER;
  if (key == kLocalMachine) return HKEY_LOCAL_MACHINE;
  return reinterpret_cast<HKEY>(key);
}

KeyHandle FromHkey(HKEY key) {
  if (key == HKEY_CURRENT_USER) return kCurrentUser;
  if (key == HKEY_LOCAL_MACHINE) return kLocalMachine;
  return reinterpret_cast<KeyHandle>(key);
}

bool IsRoot(KeyHandle key) {
  return key == kCurrentUser || key == kLocalMachine ||
         ToHkey(key) == HKEY_CLASSES_ROOT || ToHkey(key) == HKEY_USERS ||
         ToHkey(key) == HKEY_CURRENT_CONFIG;
}

REGSAM ToSam(Access access) {
  switch (access) {
    case Access::Read: return KEY_READ;
    case Access::Write: return KEY_WRITE;
    case Access::All: return KEY_ALL_ACCESS;
  }
  return KEY_READ;
}

// Longest names the registry allows, plus the terminator.
constexpr DWORD kMaxKeyName = 256;
constexpr DWORD kMaxValueName = 16384;

}  // namespace

Status Win32Registry::OpenKey(KeyHandle parent, const std::u16string& path, Access access,
                              KeyHandle& key) {
  HKEY opened = nullptr;
  const std::wstring wide = ToWin(path);
  const LONG result = RegOpenKeyExW(ToHkey(parent), wide.c_str(), 0, ToSam(access), &opened);
  key = result == ERROR_SUCCESS ? FromHkey(opened) : kNoKey;
  return static_cast<Status>(result);
}

Status Win32Registry::CreateKey(KeyHandle parent, const std::u16string& path, Access access,
                                KeyHandle& key, bool& created) {
  HKEY opened = nullptr;
  DWORD disposition = 0;
  const std::wstring wide = ToWin(path);
  const LONG result = RegCreateKeyExW(ToHkey(parent), wide.c_str(), 0, nullptr,
                                      REG_OPTION_NON_VOLATILE, ToSam(access), nullptr, &opened,
                                      &disposition);
  key = result == ERROR_SUCCESS ? FromHkey(opened) : kNoKey;
  created = result == ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY;
  return static_cast<Status>(result);
}

void Win32Registry::CloseKey(KeyHandle key) {
  if (key == kNoKey || IsRoot(key)) return;
  RegCloseKey(ToHkey(key));
}

Status Win32Registry::QueryValue(KeyHandle key, const std::u16string& name, RegType& type,
                                 void* data, std::uint32_t& size) {
  DWORD rawType = REG_NONE;
  DWORD rawSize = size;
  const std::wstring wide = ToWin(name);
  const LONG result = RegQueryValueExW(ToHkey(key), wide.c_str(), nullptr, &rawType,
                                       static_cast<BYTE*>(data), &rawSize);
  type = static_cast<RegType>(rawType);
  size = rawSize;
  return static_cast<Status>(result);
}

Status Win32Registry::SetValue(KeyHandle key, const std::u16string& name, RegType type,
                               const void* data, std::uint32_t size) {
  const std::wstring wide = ToWin(name);
  return static_cast<Status>(RegSetValueExW(ToHkey(key), wide.c_str(), 0,
                                            static_cast<DWORD>(type),
                                            static_cast<const BYTE*>(data), size));
}

Status Win32Registry::DeleteValue(KeyHandle key, const std::u16string& name) {
  const std::wstring wide = ToWin(name);
  return static_cast<Status>(RegDeleteValueW(ToHkey(key), wide.c_str()));
}

Status Win32Registry::DeleteKey(KeyHandle parent, const std::u16string& subkey) {
  const std::wstring wide = ToWin(subkey);
  return static_cast<Status>(RegDeleteKeyW(ToHkey(parent), wide.c_str()));
}

Status Win32Registry::EnumKey(KeyHandle key, std::uint32_t index, std::u16string& name) {
  std::vector<wchar_t> buffer(kMaxKeyName);
  DWORD length = kMaxKeyName;
  const LONG result = RegEnumKeyExW(ToHkey(key), index, buffer.data(), &length, nullptr, nullptr,
                                    nullptr, nullptr);
  name = result == ERROR_SUCCESS ? FromWin({buffer.data(), length}) : std::u16string();
  return static_cast<Status>(result);
}

Status Win32Registry::EnumValue(KeyHandle key, std::uint32_t index, std::u16string& name) {
  std::vector<wchar_t> buffer(kMaxValueName);
  DWORD length = kMaxValueName;
  const LONG result = RegEnumValueW(ToHkey(key), index, buffer.data(), &length, nullptr, nullptr,
                                    nullptr, nullptr);
  name = result == ERROR_SUCCESS ? FromWin({buffer.data(), length}) : std::u16string();
  return static_cast<Status>(result);
}

}  // namespace nebrin::platform::win32
