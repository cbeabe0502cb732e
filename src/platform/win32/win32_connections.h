// The network connections service over the home-networking sharing manager (COM).
#pragma once

#include "platform/network_connections.h"

namespace nebrin::platform::win32 {

class Win32NetworkConnections final : public NetworkConnections {
 public:
  HResult EnumerateConnections(std::vector<NetworkConnection>& connections) override;
};

}  // namespace nebrin::platform::win32
