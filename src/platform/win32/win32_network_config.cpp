#include "platform/win32/win32_network_config.h"

#include <netcfgx.h>
#include <objbase.h>
#include <setupapi.h>
#include <windows.h>

#include <memory>
#include <string>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_com.h"

namespace nebrin::platform::win32 {
namespace {

// The network configuration class, its interfaces and the network-protocol class, by their
// published GUIDs.
constexpr CLSID kNetCfgClass = {
    0x5B035261, 0x40F9, 0x11D1, {0xAA, 0xEC, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
constexpr IID kINetCfg = {
    0xC0E8AE93, 0x306E, 0x11D1, {0xAA, 0xCF, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
constexpr IID kINetCfgLock = {
    0xC0E8AE9F, 0x306E, 0x11D1, {0xAA, 0xCF, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
constexpr IID kINetCfgClassSetup = {
    0xC0E8AE9D, 0x306E, 0x11D1, {0xAA, 0xCF, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
constexpr GUID kNetTransClass = {
    0x4D36E975, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

constexpr DWORD kServerContext = 23;     // CLSCTX_ALL: every server context and the handler
constexpr DWORD kPostSystemInstall = 2;  // NSF_POSTSYSINSTALL (not in mingw-w64's netcfgx.h)

}  // namespace

HResult Win32NetworkConfig::CreateNetCfg(ComRef& netCfg) {
  INetCfg* created = nullptr;
  const HRESULT result = CoCreateInstance(kNetCfgClass, nullptr, kServerContext, kINetCfg,
                                          reinterpret_cast<void**>(&created));
  netCfg = ToComRef(created);
  return result;
}

HResult Win32NetworkConfig::QueryLock(ComRef netCfg, ComRef& lock) {
  INetCfgLock* found = nullptr;
  const HRESULT result =
      FromComRef<INetCfg>(netCfg)->QueryInterface(kINetCfgLock, reinterpret_cast<void**>(&found));
  lock = ToComRef(found);
  return result;
}

HResult Win32NetworkConfig::AcquireWriteLock(ComRef lock, std::uint32_t timeoutMs,
                                             std::u16string_view description,
                                             std::u16string& holder) {
  const std::wstring text = ToWin(description);
  LPWSTR other = nullptr;
  const HRESULT result =
      FromComRef<INetCfgLock>(lock)->AcquireWriteLock(timeoutMs, text.c_str(), &other);
  // The holder's description is the caller's to free, with COM's task allocator, also when
  // copying it runs out of memory.
  const std::unique_ptr<wchar_t, decltype(&CoTaskMemFree)> owned(other, &CoTaskMemFree);
  if (owned != nullptr) holder = FromWin(owned.get());
  return result;
}

HResult Win32NetworkConfig::ReleaseWriteLock(ComRef lock) {
  return FromComRef<INetCfgLock>(lock)->ReleaseWriteLock();
}

HResult Win32NetworkConfig::Initialize(ComRef netCfg) {
  return FromComRef<INetCfg>(netCfg)->Initialize(nullptr);
}

HResult Win32NetworkConfig::Uninitialize(ComRef netCfg) {
  return FromComRef<INetCfg>(netCfg)->Uninitialize();
}

HResult Win32NetworkConfig::Apply(ComRef netCfg) { return FromComRef<INetCfg>(netCfg)->Apply(); }

HResult Win32NetworkConfig::QueryProtocolClassSetup(ComRef netCfg, ComRef& classSetup) {
  INetCfgClassSetup* found = nullptr;
  const HRESULT result = FromComRef<INetCfg>(netCfg)->QueryNetCfgClass(
      &kNetTransClass, kINetCfgClassSetup, reinterpret_cast<void**>(&found));
  classSetup = ToComRef(found);
  return result;
}

HResult Win32NetworkConfig::Install(ComRef classSetup, std::u16string_view componentId,
                                    ComRef& component) {
  const std::wstring id = ToWin(componentId);
  OBO_TOKEN token{};
  token.Type = OBO_USER;
  INetCfgComponent* installed = nullptr;
  const HRESULT result =
      FromComRef<INetCfgClassSetup>(classSetup)
          ->Install(id.c_str(), &token, kPostSystemInstall, 0, nullptr, nullptr, &installed);
  component = ToComRef(installed);
  return result;
}

Status Win32NetworkConfig::CopySetupFile(std::u16string_view source, std::u16string& destination) {
  const std::wstring path = ToWin(source);
  wchar_t copy[kSetupFileNameRoom] = {};
  if (!SetupCopyOEMInfW(path.c_str(), nullptr, SPOST_PATH, 0, copy, kSetupFileNameRoom, nullptr,
                        nullptr)) {
    return static_cast<Status>(GetLastError());
  }
  destination = FromWin(copy);
  return kSuccess;
}

}  // namespace nebrin::platform::win32
