// Network connections service: the connections the home-networking sharing manager enumerates
// (INetSharingManager::EnumEveryConnection), each with the Guid and Status of its properties.
// COM set-up and the enumeration's objects and variants stay inside the implementations.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/hresult.h"

namespace nebrin::platform {

// NETCON_STATUS values.
inline constexpr std::uint32_t kNcsDisconnected = 0;
inline constexpr std::uint32_t kNcsConnecting = 1;
inline constexpr std::uint32_t kNcsConnected = 2;
inline constexpr std::uint32_t kNcsMediaDisconnected = 7;

struct NetworkConnection {
  std::u16string guid;  // INetConnectionProps::Guid, "{...}"
  std::uint32_t status = kNcsDisconnected;  // INetConnectionProps::Status
};

class NetworkConnections {
 public:
  virtual ~NetworkConnections() = default;

  // Initialises COM on the calling thread and sets the process's COM security (outcomes not
  // examined), creates the sharing manager, enumerates every connection in the manager's order
  // (elements that are not connections, or whose properties cannot be read, are passed over),
  // releases everything and uninitialises COM. A failure HRESULT when the manager cannot be
  // created or no collection comes back.
  virtual HResult EnumerateConnections(std::vector<NetworkConnection>& connections) = 0;
};

}  // namespace nebrin::platform
