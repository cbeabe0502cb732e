// Network connections service: the home-networking sharing manager (INetSharingManager) and the
// objects it hands out, one call per COM call the sharing and diagnostic operations make. Every
// object comes back as a ComRef that the caller owns and releases through Com::Release (hold it
// in a UniqueComRef). The calling thread's COM initialisation is the caller's (ComApartment); the
// VARIANT of each enumerated element and the BSTRs of the properties stay inside the
// implementations.
#pragma once

#include <cstdint>
#include <string>

#include "platform/com.h"
#include "platform/hresult.h"

namespace nebrin::platform {

// NETCON_STATUS values.
inline constexpr std::uint32_t kNcsDisconnected = 0;
inline constexpr std::uint32_t kNcsConnecting = 1;
inline constexpr std::uint32_t kNcsConnected = 2;
inline constexpr std::uint32_t kNcsMediaDisconnected = 7;

// SHARINGCONNECTIONTYPE: ICSSHARINGTYPE_PUBLIC, ICSSHARINGTYPE_PRIVATE.
enum class SharingType : std::uint32_t { Public = 0, Private = 1 };

class NetworkConnections {
 public:
  virtual ~NetworkConnections() = default;

  // CoCreateInstance of the sharing manager class, no outer object, CLSCTX_ALL (23), for
  // INetSharingManager.
  virtual HResult CreateSharingManager(ComRef& manager) = 0;
  // INetSharingManager::get_EnumEveryConnection: the collection of every connection.
  virtual HResult EnumEveryConnection(ComRef manager, ComRef& collection) = 0;
  // INetSharingEveryConnectionCollection::get__NewEnum, the object asked for IEnumVARIANT and
  // then released: the enumerator.
  virtual HResult NewEnum(ComRef collection, ComRef& enumerator) = 0;
  // IEnumVARIANT::Next of one element. S_OK: an element came; `connection` is its INetConnection,
  // or kNoComRef when the element is not an IUnknown (VT_UNKNOWN) that yields one. Anything else
  // (S_FALSE at the end, a failure): no element, `connection` stays kNoComRef.
  virtual HResult Next(ComRef enumerator, ComRef& connection) = 0;
  // IEnumVARIANT::Reset: the next element is the first again.
  virtual HResult Reset(ComRef enumerator) = 0;

  // INetSharingManager::get_NetConnectionProps of one connection.
  virtual HResult ConnectionProps(ComRef manager, ComRef connection, ComRef& props) = 0;
  // INetConnectionProps::get_Guid ("{...}"), get_Name and get_Status.
  virtual HResult Guid(ComRef props, std::u16string& guid) = 0;
  virtual HResult Name(ComRef props, std::u16string& name) = 0;
  virtual HResult Status(ComRef props, std::uint32_t& status) = 0;

  // INetSharingManager::get_INetSharingConfigurationForINetConnection.
  virtual HResult SharingConfiguration(ComRef manager, ComRef connection,
                                       ComRef& configuration) = 0;
  // INetSharingConfiguration.
  virtual HResult SharingEnabled(ComRef configuration, bool& enabled) = 0;
  virtual HResult SharingConnectionType(ComRef configuration, SharingType& type) = 0;
  virtual HResult DisableSharing(ComRef configuration) = 0;
  virtual HResult EnableSharing(ComRef configuration, SharingType type) = 0;
  virtual HResult InternetFirewallEnabled(ComRef configuration, bool& enabled) = 0;
  virtual HResult EnableInternetFirewall(ComRef configuration) = 0;
  virtual HResult DisableInternetFirewall(ComRef configuration) = 0;
};

}  // namespace nebrin::platform
