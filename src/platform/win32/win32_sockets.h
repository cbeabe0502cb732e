// The sockets service over Winsock 2 (ws2_32).
#pragma once

#include "platform/sockets.h"

namespace nebrin::platform::win32 {

class Win32Sockets final : public Sockets {
 public:
  Status Startup(std::uint16_t version) override;
  void Cleanup() override;
  Status OpenRawIcmp(SocketHandle& socket) override;
  void Close(SocketHandle socket) override;
  Status SetReceiveTimeout(SocketHandle socket, std::uint32_t milliseconds) override;
  Status SetSendTimeout(SocketHandle socket, std::uint32_t milliseconds) override;
  Status ResolveHost(std::string_view name, HostEntry& entry) override;
  std::uint32_t ParseDottedAddress(std::string_view text) override;
  Status SendTo(SocketHandle socket, const std::uint8_t* data, std::size_t size,
                const SocketAddress& to, std::size_t& sent) override;
  Status ReceiveFrom(SocketHandle socket, std::uint8_t* buffer, std::size_t capacity,
                     std::size_t& received, SocketAddress& from) override;
};

}  // namespace nebrin::platform::win32
