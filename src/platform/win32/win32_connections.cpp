#include "platform/win32/win32_connections.h"

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <netcon.h>

#include <utility>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_com.h"

namespace nebrin::platform::win32 {
namespace {

// The sharing manager class and the interfaces asked for, by their published GUIDs.
constexpr CLSID kSharingManager = {
    0x5C63C1AD, 0x3956, 0x4FF8, {0x84, 0x86, 0x40, 0x03, 0x47, 0x58, 0x31, 0x5B}};
constexpr IID kINetSharingManager = {
    0xC08956B7, 0x1CD3, 0x11D1, {0xB1, 0xC5, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
constexpr IID kINetConnection = {
    0xC08956A1, 0x1CD3, 0x11D1, {0xB1, 0xC5, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
constexpr IID kIEnumVariant = {
    0x00020404, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

constexpr DWORD kAllContexts = 23;  // CLSCTX_ALL: in-process, handler, local and remote servers

// Owns one interface pointer that does not leave this file, and releases it.
class LocalUnknown {
 public:
  LocalUnknown() = default;
  ~LocalUnknown() {
    if (pointer_ != nullptr) pointer_->Release();
  }
  LocalUnknown(const LocalUnknown&) = delete;
  LocalUnknown& operator=(const LocalUnknown&) = delete;
  IUnknown* get() const { return pointer_; }
  IUnknown** receive() { return &pointer_; }

 private:
  IUnknown* pointer_ = nullptr;
};

// Owns one VARIANT and clears it.
class UniqueVariant {
 public:
  UniqueVariant() { VariantInit(&value_); }
  ~UniqueVariant() { VariantClear(&value_); }
  UniqueVariant(const UniqueVariant&) = delete;
  UniqueVariant& operator=(const UniqueVariant&) = delete;
  VARIANT* get() { return &value_; }

 private:
  VARIANT value_;
};

// Owns one BSTR and frees it.
class UniqueBstr {
 public:
  UniqueBstr() = default;
  ~UniqueBstr() { SysFreeString(text_); }
  UniqueBstr(const UniqueBstr&) = delete;
  UniqueBstr& operator=(const UniqueBstr&) = delete;
  BSTR* receive() { return &text_; }
  std::u16string text() const {
    return text_ == nullptr ? std::u16string() : FromWin({text_, SysStringLen(text_)});
  }

 private:
  BSTR text_ = nullptr;
};

// An interface pointer handed out as a reference: the caller owns it (also after a failure that
// still returned one).
template <typename Interface>
HResult HandOut(HRESULT result, Interface* pointer, ComRef& out) {
  out = ToComRef(pointer);
  return result;
}

}  // namespace

HResult Win32NetworkConnections::CreateSharingManager(ComRef& manager) {
  INetSharingManager* pointer = nullptr;
  const HRESULT result = CoCreateInstance(kSharingManager, nullptr, kAllContexts,
                                          kINetSharingManager, reinterpret_cast<void**>(&pointer));
  return HandOut(result, pointer, manager);
}

HResult Win32NetworkConnections::EnumEveryConnection(ComRef manager, ComRef& collection) {
  INetSharingEveryConnectionCollection* pointer = nullptr;
  const HRESULT result = FromComRef<INetSharingManager>(manager)->get_EnumEveryConnection(&pointer);
  return HandOut(result, pointer, collection);
}

HResult Win32NetworkConnections::NewEnum(ComRef collection, ComRef& enumerator) {
  LocalUnknown returned;
  HRESULT result = FromComRef<INetSharingEveryConnectionCollection>(collection)
                       ->get__NewEnum(returned.receive());
  if (FAILED(result) || returned.get() == nullptr) return FAILED(result) ? result : E_POINTER;
  IEnumVARIANT* pointer = nullptr;
  result = returned.get()->QueryInterface(kIEnumVariant, reinterpret_cast<void**>(&pointer));
  return HandOut(result, pointer, enumerator);
}

HResult Win32NetworkConnections::Next(ComRef enumerator, ComRef& connection) {
  connection = kNoComRef;
  UniqueVariant element;
  ULONG fetched = 0;
  const HRESULT result = FromComRef<IEnumVARIANT>(enumerator)->Next(1, element.get(), &fetched);
  if (result != S_OK) return result;
  VARIANT* value = element.get();
  if (value->vt == VT_UNKNOWN && value->punkVal != nullptr) {
    INetConnection* pointer = nullptr;
    if (FAILED(
            value->punkVal->QueryInterface(kINetConnection, reinterpret_cast<void**>(&pointer)))) {
      if (pointer != nullptr) pointer->Release();
      pointer = nullptr;
    }
    connection = ToComRef(pointer);
  }
  return result;
}

HResult Win32NetworkConnections::Reset(ComRef enumerator) {
  return FromComRef<IEnumVARIANT>(enumerator)->Reset();
}

HResult Win32NetworkConnections::ConnectionProps(ComRef manager, ComRef connection, ComRef& props) {
  INetConnectionProps* pointer = nullptr;
  const HRESULT result = FromComRef<INetSharingManager>(manager)->get_NetConnectionProps(
      FromComRef<INetConnection>(connection), &pointer);
  return HandOut(result, pointer, props);
}

HResult Win32NetworkConnections::Guid(ComRef props, std::u16string& guid) {
  UniqueBstr value;
  const HRESULT result = FromComRef<INetConnectionProps>(props)->get_Guid(value.receive());
  if (SUCCEEDED(result)) guid = value.text();
  return result;
}

HResult Win32NetworkConnections::Name(ComRef props, std::u16string& name) {
  UniqueBstr value;
  const HRESULT result = FromComRef<INetConnectionProps>(props)->get_Name(value.receive());
  if (SUCCEEDED(result)) name = value.text();
  return result;
}

HResult Win32NetworkConnections::Status(ComRef props, std::uint32_t& status) {
  NETCON_STATUS value = NCS_DISCONNECTED;
  const HRESULT result = FromComRef<INetConnectionProps>(props)->get_Status(&value);
  if (SUCCEEDED(result)) status = static_cast<std::uint32_t>(value);
  return result;
}

HResult Win32NetworkConnections::SharingConfiguration(ComRef manager, ComRef connection,
                                                      ComRef& configuration) {
  INetSharingConfiguration* pointer = nullptr;
  const HRESULT result =
      FromComRef<INetSharingManager>(manager)->get_INetSharingConfigurationForINetConnection(
          FromComRef<INetConnection>(connection), &pointer);
  return HandOut(result, pointer, configuration);
}

HResult Win32NetworkConnections::SharingEnabled(ComRef configuration, bool& enabled) {
  VARIANT_BOOL value = VARIANT_FALSE;
  const HRESULT result =
      FromComRef<INetSharingConfiguration>(configuration)->get_SharingEnabled(&value);
  if (SUCCEEDED(result)) enabled = value != VARIANT_FALSE;
  return result;
}

HResult Win32NetworkConnections::SharingConnectionType(ComRef configuration, SharingType& type) {
  SHARINGCONNECTIONTYPE value = ICSSHARINGTYPE_PUBLIC;
  const HRESULT result =
      FromComRef<INetSharingConfiguration>(configuration)->get_SharingConnectionType(&value);
  if (SUCCEEDED(result)) {
    type = value == ICSSHARINGTYPE_PRIVATE ? SharingType::Private : SharingType::Public;
  }
  return result;
}

HResult Win32NetworkConnections::DisableSharing(ComRef configuration) {
  return FromComRef<INetSharingConfiguration>(configuration)->DisableSharing();
}

HResult Win32NetworkConnections::EnableSharing(ComRef configuration, SharingType type) {
  return FromComRef<INetSharingConfiguration>(configuration)
      ->EnableSharing(type == SharingType::Private ? ICSSHARINGTYPE_PRIVATE
                                                   : ICSSHARINGTYPE_PUBLIC);
}

HResult Win32NetworkConnections::InternetFirewallEnabled(ComRef configuration, bool& enabled) {
  VARIANT_BOOL value = VARIANT_FALSE;
  const HRESULT result =
      FromComRef<INetSharingConfiguration>(configuration)->get_InternetFirewallEnabled(&value);
  if (SUCCEEDED(result)) enabled = value != VARIANT_FALSE;
  return result;
}

HResult Win32NetworkConnections::EnableInternetFirewall(ComRef configuration) {
  return FromComRef<INetSharingConfiguration>(configuration)->EnableInternetFirewall();
}

HResult Win32NetworkConnections::DisableInternetFirewall(ComRef configuration) {
  return FromComRef<INetSharingConfiguration>(configuration)->DisableInternetFirewall();
}

}  // namespace nebrin::platform::win32
