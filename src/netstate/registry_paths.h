// Registry paths, below HKEY_LOCAL_MACHINE, of the keys that describe an adapter.
#pragma once

#include <string>

namespace nebrin::netstate {

// The adapter's TCP/IP interface settings, named by its GUID.
inline std::u16string TcpipInterfaceKey(const std::u16string& guid) {
  return u"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\" + guid;
}

// The adapter's network connection ("Name", "PnpInstanceID", "MediaSubType").
inline std::u16string ConnectionKey(const std::u16string& guid) {
  return u"SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\" +
         guid + u"\\Connection";
}

// The device's key under Enum, named by its plug-and-play instance id.
inline std::u16string EnumKey(const std::u16string& pnpInstanceId) {
  return u"SYSTEM\\CurrentControlSet\\Enum\\" + pnpInstanceId;
}

}  // namespace nebrin::netstate
