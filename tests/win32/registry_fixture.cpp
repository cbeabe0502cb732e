#include "registry_fixture.h"

#include <iphlpapi.h>

#include <cstring>
#include <memory>

namespace nebrin::win32_test {
namespace {

LONG SetRaw(HKEY key, const wchar_t* name, DWORD type, const std::wstring& data) {
  return RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                        static_cast<DWORD>(data.size() * sizeof(wchar_t)));
}

std::wstring Widen(const char* text) {
  return std::wstring(text, text + std::strlen(text));
}

}  // namespace

LONG CreateMachineKey(const std::wstring& path, UniqueHkey& key) {
  return RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                         KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
}

LONG SetText(HKEY key, const wchar_t* name, const std::wstring& value) {
  return SetRaw(key, name, REG_SZ, value + L'\0');
}

LONG SetTexts(HKEY key, const wchar_t* name, const std::vector<std::wstring>& values) {
  std::wstring data;
  for (const auto& value : values) data += value + L'\0';
  data += L'\0';
  return SetRaw(key, name, REG_MULTI_SZ, data);
}

LONG SetNumber(HKEY key, const wchar_t* name, DWORD value) {
  return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                        sizeof(value));
}

LONG DeleteTree(HKEY root, const std::wstring& path) {
  UniqueHkey key;
  LONG result = RegOpenKeyExW(root, path.c_str(), 0, KEY_ALL_ACCESS, key.put());
  if (result == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
  if (result != ERROR_SUCCESS) return result;
  // Always take the first subkey: the indexes shift as subkeys go.
  for (;;) {
    wchar_t name[256];
    DWORD length = 256;
    result = RegEnumKeyExW(key.get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS) return result;
    result = DeleteTree(root, path + L"\\" + name);
    if (result != ERROR_SUCCESS) return result;
  }
  key.reset();
  return RegDeleteKeyW(root, path.c_str());
}

LONG DeleteMachineTree(const std::wstring& path) { return DeleteTree(HKEY_LOCAL_MACHINE, path); }

std::vector<ListedAdapter> ListAdapters(DWORD& status) {
  std::vector<ListedAdapter> adapters;
  ULONG size = 0;
  status = GetAdaptersInfo(nullptr, &size);
  if (status != ERROR_BUFFER_OVERFLOW) return adapters;

  std::unique_ptr<std::byte[]> block(new std::byte[size]());
  auto* first = reinterpret_cast<IP_ADAPTER_INFO*>(block.get());
  if (GetAdaptersInfo(first, &size) != ERROR_SUCCESS) return adapters;
  for (const IP_ADAPTER_INFO* info = first; info != nullptr; info = info->Next) {
    adapters.push_back({Widen(info->AdapterName), info->DhcpEnabled != 0,
                        Widen(info->IpAddressList.IpAddress.String),
                        Widen(info->GatewayList.IpAddress.String)});
  }
  return adapters;
}

}  // namespace nebrin::win32_test
