// Network connections service: the connections the home-networking sharing manager enumerates
// (INetSharingManager::EnumEveryConnection), each with the Guid and Status of its properties.
// COM set-up and the enumeration's objects and variants stay inside the implementations.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nebrin::platform {

using HResult = std::int32_t;

inline constexpr HResult kSOk = 0;
inline constexpr HResult kENotImpl = static_cast<HResult>(0x80004001u);
inline constexpr HResult kEFail = static_cast<HResult>(0x80004005u);
inline constexpr HResult kClassNotRegistered = static_cast<HResult>(0x80040154u);  // REGDB_E_CLASSNOTREG

inline constexpr bool Failed(HResult result) { return result < 0; }

// HRESULT_FROM_WIN32.
inline constexpr HResult HResultFromWin32(std::uint32_t error) {
  return error == 0 ? kSOk : static_cast<HResult>((error & 0xFFFFu) | 0x80070000u);
}

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
