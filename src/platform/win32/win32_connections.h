// The network connections service over the home-networking sharing manager (COM): each call is
// the COM call it names; ComRefs are the interface pointers themselves.
#pragma once

#include "platform/network_connections.h"

namespace nebrin::platform::win32 {

class Win32NetworkConnections final : public NetworkConnections {
 public:
  HResult CreateSharingManager(ComRef& manager) override;
  HResult EnumEveryConnection(ComRef manager, ComRef& collection) override;
  HResult NewEnum(ComRef collection, ComRef& enumerator) override;
  HResult Next(ComRef enumerator, ComRef& connection) override;
  HResult Reset(ComRef enumerator) override;
  HResult ConnectionProps(ComRef manager, ComRef connection, ComRef& props) override;
  HResult Guid(ComRef props, std::u16string& guid) override;
  HResult Name(ComRef props, std::u16string& name) override;
  HResult Status(ComRef props, std::uint32_t& status) override;
  HResult SharingConfiguration(ComRef manager, ComRef connection, ComRef& configuration) override;
  HResult SharingEnabled(ComRef configuration, bool& enabled) override;
  HResult SharingConnectionType(ComRef configuration, SharingType& type) override;
  HResult DisableSharing(ComRef configuration) override;
  HResult EnableSharing(ComRef configuration, SharingType type) override;
  HResult InternetFirewallEnabled(ComRef configuration, bool& enabled) override;
  HResult EnableInternetFirewall(ComRef configuration) override;
  HResult DisableInternetFirewall(ComRef configuration) override;
};

}  // namespace nebrin::platform::win32
