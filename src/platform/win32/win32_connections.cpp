#include "platform/win32/win32_connections.h"

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <netcon.h>

#include <utility>

#include "platform/win32/wide_text.h"

namespace nebrin::platform::win32 {
namespace {

// The sharing manager class and the interfaces asked of it, by their published GUIDs.
constexpr CLSID kSharingManager = {
    0x5C63C1AD, 0x3956, 0x4FF8, {0x84, 0x86, 0x40, 0x03, 0x47, 0x58, 0x31, 0x5B}};
constexpr IID kINetSharingManager = {
    0xC08956B7, 0x1CD3, 0x11D1, {0xB1, 0xC5, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
constexpr IID kINetConnection = {
    0xC08956A1, 0x1CD3, 0x11D1, {0xB1, 0xC5, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
constexpr IID kIEnumVariant = {
    0x00020404, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

constexpr DWORD kServerContext = 23;  // in-process, handler, local and remote servers

// COM initialised on this thread for one operation; uninitialised when it goes out of scope
// (whatever CoInitialize answered, as the operation does not examine it).
class ComScope {
 public:
  ComScope() { CoInitialize(nullptr); }
  ~ComScope() { CoUninitialize(); }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
};

// Owns one interface pointer and releases it.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  T** receive() {
    reset();
    return &pointer_;
  }
  void** receive_void() { return reinterpret_cast<void**>(receive()); }
  void reset() {
    if (pointer_ != nullptr) std::exchange(pointer_, nullptr)->Release();
  }

 private:
  T* pointer_ = nullptr;
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
  BSTR get() const { return text_; }

 private:
  BSTR text_ = nullptr;
};

// Reads one enumerated element's Guid and Status; false when the element is not a connection or
// its properties cannot be read.
bool ReadConnection(INetSharingManager* manager, VARIANT* element, NetworkConnection& out) {
  if (element->vt != VT_UNKNOWN || element->punkVal == nullptr) return false;
  ComPtr<INetConnection> connection;
  if (FAILED(element->punkVal->QueryInterface(kINetConnection, connection.receive_void())) ||
      !connection) {
    return false;
  }
  ComPtr<INetConnectionProps> props;
  if (FAILED(manager->get_NetConnectionProps(connection.get(), props.receive())) || !props) {
    return false;
  }
  UniqueBstr guid;
  if (FAILED(props->get_Guid(guid.receive())) || guid.get() == nullptr) return false;
  NETCON_STATUS status = NCS_DISCONNECTED;
  if (FAILED(props->get_Status(&status))) return false;
  out.guid = FromWin({guid.get(), SysStringLen(guid.get())});
  out.status = static_cast<std::uint32_t>(status);
  return true;
}

}  // namespace

HResult Win32NetworkConnections::EnumerateConnections(
    std::vector<NetworkConnection>& connections) {
  ComScope com;
  CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT,
                       RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
  ComPtr<INetSharingManager> manager;
  HRESULT result = CoCreateInstance(kSharingManager, nullptr, kServerContext,
                                    kINetSharingManager, manager.receive_void());
  if (FAILED(result) || !manager) return FAILED(result) ? result : E_FAIL;

  ComPtr<INetSharingEveryConnectionCollection> collection;
  result = manager->get_EnumEveryConnection(collection.receive());
  if (!collection) return FAILED(result) ? result : E_FAIL;

  ComPtr<IEnumVARIANT> enumerator;
  {
    ComPtr<IUnknown> returned;
    if (SUCCEEDED(collection->get__NewEnum(returned.receive())) && returned) {
      returned->QueryInterface(kIEnumVariant, enumerator.receive_void());
    }
  }
  std::vector<NetworkConnection> found;
  if (enumerator) {
    for (;;) {
      UniqueVariant element;
      ULONG fetched = 0;
      if (enumerator->Next(1, element.get(), &fetched) != S_OK) break;
      NetworkConnection connection;
      if (ReadConnection(manager.get(), element.get(), connection)) {
        found.push_back(std::move(connection));
      }
    }
  }
  connections = std::move(found);
  return S_OK;
}

}  // namespace nebrin::platform::win32
