// Helpers for tests that prepare the machine's registry and adapter list under Wine.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <string>
#include <vector>

namespace nebrin::win32_test {

// Owns one open HKEY.
class UniqueHkey {
 public:
  UniqueHkey() = default;
  explicit UniqueHkey(HKEY key) : key_(key) {}
  ~UniqueHkey() { reset(); }
  UniqueHkey(UniqueHkey&& other) noexcept : key_(other.release()) {}
  UniqueHkey& operator=(UniqueHkey&& other) noexcept {
    if (this != &other) {
      reset();
      key_ = other.release();
    }
    return *this;
  }
  UniqueHkey(const UniqueHkey&) = delete;
  UniqueHkey& operator=(const UniqueHkey&) = delete;

  HKEY get() const { return key_; }
  HKEY* put() {
    reset();
    return &key_;
  }
  HKEY release() {
    HKEY key = key_;
    key_ = nullptr;
    return key;
  }
  void reset() {
    if (key_ != nullptr) RegCloseKey(key_);
    key_ = nullptr;
  }

 private:
  HKEY key_ = nullptr;
};

// Creates (or opens) a key below HKEY_LOCAL_MACHINE for writing; the result of RegCreateKeyExW.
LONG CreateMachineKey(const std::wstring& path, UniqueHkey& key);

// Writers; each returns the result of RegSetValueExW.
LONG SetText(HKEY key, const wchar_t* name, const std::wstring& value);
// REG_MULTI_SZ from its strings; the value ends with an empty string.
LONG SetTexts(HKEY key, const wchar_t* name, const std::vector<std::wstring>& values);
LONG SetNumber(HKEY key, const wchar_t* name, DWORD value);

// Deletes a key below `root` with everything under it; a missing key is no error.
LONG DeleteTree(HKEY root, const std::wstring& path);
// The same below HKEY_LOCAL_MACHINE.
LONG DeleteMachineTree(const std::wstring& path);

// One adapter as IP Helper lists it.
struct ListedAdapter {
  std::wstring guid;
  bool dhcp = false;
  std::wstring ipAddress;
  std::wstring gateway;
};

// The adapters GetAdaptersInfo reports, in its order. `status` receives the size query's result.
std::vector<ListedAdapter> ListAdapters(DWORD& status);

}  // namespace nebrin::win32_test
