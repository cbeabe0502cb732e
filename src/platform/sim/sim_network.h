// The simulated machine's network: raw ICMP sockets talking to the machine's hosts, name
// resolution, the Internet client over its URL list, and the sharing manager's connections. With
// the machine's network set to real, sockets and the Internet client are Linux's own.
#pragma once

#include "platform/internet_client.h"
#include "platform/native/curl_internet.h"
#include "platform/native/native_sockets.h"
#include "platform/network_connections.h"
#include "platform/sim/machine.h"
#include "platform/sockets.h"

namespace nebrin::sim {

class SimSockets final : public platform::Sockets {
 public:
  explicit SimSockets(Machine::State& machine) : machine_(machine) {}

  Status Startup(std::uint16_t version) override;
  void Cleanup() override;
  Status OpenRawIcmp(platform::SocketHandle& socket) override;
  void Close(platform::SocketHandle socket) override;
  Status SetReceiveTimeout(platform::SocketHandle socket, std::uint32_t milliseconds) override;
  Status SetSendTimeout(platform::SocketHandle socket, std::uint32_t milliseconds) override;
  Status ResolveHost(std::string_view name, platform::HostEntry& entry) override;
  std::uint32_t ParseDottedAddress(std::string_view text) override;
  Status SendTo(platform::SocketHandle socket, const std::uint8_t* data, std::size_t size,
                const platform::SocketAddress& to, std::size_t& sent) override;
  Status ReceiveFrom(platform::SocketHandle socket, std::uint8_t* buffer, std::size_t capacity,
                     std::size_t& received, platform::SocketAddress& from) override;

 private:
  Machine::State& machine_;
  platform::native::NativeSockets real_;
};

class SimInternetClient final : public platform::InternetClient {
 public:
  explicit SimInternetClient(Machine::State& machine) : machine_(machine) {}

  Status Open(std::u16string_view agent, std::uint32_t accessType,
              platform::InternetHandle& handle) override;
  Status OpenUrl(platform::InternetHandle client, std::u16string_view url, std::uint32_t flags,
                 platform::InternetHandle& handle) override;
  void Close(platform::InternetHandle handle) override;

 private:
  void Keep(platform::InternetHandle handle, platform::InternetHandle parent);

  Machine::State& machine_;
  platform::native::CurlInternetClient real_;
  platform::InternetHandle next_ = 0xCC0004;
};

// The sharing manager over the machine's connections. Each call is counted as a Connections
// call and can be failed by a fault plan (the call then changes nothing); the objects it hands out
// are references in the machine's COM table.
class SimNetworkConnections final : public platform::NetworkConnections {
 public:
  explicit SimNetworkConnections(Machine::State& machine) : machine_(machine) {}

  platform::HResult CreateSharingManager(platform::ComRef& manager) override;
  platform::HResult EnumEveryConnection(platform::ComRef manager,
                                        platform::ComRef& collection) override;
  platform::HResult NewEnum(platform::ComRef collection, platform::ComRef& enumerator) override;
  platform::HResult Next(platform::ComRef enumerator, platform::ComRef& connection) override;
  platform::HResult Reset(platform::ComRef enumerator) override;
  platform::HResult ConnectionProps(platform::ComRef manager, platform::ComRef connection,
                                    platform::ComRef& props) override;
  platform::HResult Guid(platform::ComRef props, std::u16string& guid) override;
  platform::HResult Name(platform::ComRef props, std::u16string& name) override;
  platform::HResult Status(platform::ComRef props, std::uint32_t& status) override;
  platform::HResult SharingConfiguration(platform::ComRef manager, platform::ComRef connection,
                                         platform::ComRef& configuration) override;
  platform::HResult SharingEnabled(platform::ComRef configuration, bool& enabled) override;
  platform::HResult SharingConnectionType(platform::ComRef configuration,
                                          platform::SharingType& type) override;
  platform::HResult DisableSharing(platform::ComRef configuration) override;
  platform::HResult EnableSharing(platform::ComRef configuration,
                                  platform::SharingType type) override;
  platform::HResult InternetFirewallEnabled(platform::ComRef configuration, bool& enabled) override;
  platform::HResult EnableInternetFirewall(platform::ComRef configuration) override;
  platform::HResult DisableInternetFirewall(platform::ComRef configuration) override;

 private:
  Machine::State& machine_;
};

}  // namespace nebrin::sim
