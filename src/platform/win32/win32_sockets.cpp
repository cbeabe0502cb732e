#include "platform/win32/win32_sockets.h"

#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace nebrin::platform::win32 {
namespace {

SOCKET Native(SocketHandle socket) { return static_cast<SOCKET>(socket); }

Status SetTimeout(SocketHandle socket, int option, std::uint32_t milliseconds) {
  const DWORD value = milliseconds;  // a 4-byte millisecond count
  if (setsockopt(Native(socket), SOL_SOCKET, option, reinterpret_cast<const char*>(&value),
                 sizeof(value)) == SOCKET_ERROR) {
    return static_cast<Status>(WSAGetLastError());
  }
  return kSuccess;
}

}  // namespace

Status Win32Sockets::Startup(std::uint16_t version) {
  WSADATA data{};
  return static_cast<Status>(WSAStartup(version, &data));
}

void Win32Sockets::Cleanup() { WSACleanup(); }

Status Win32Sockets::OpenRawIcmp(SocketHandle& socket) {
  const SOCKET opened =
      WSASocketW(AF_INET, SOCK_RAW, IPPROTO_ICMP, nullptr, 0, WSA_FLAG_OVERLAPPED);
  if (opened == INVALID_SOCKET) return static_cast<Status>(WSAGetLastError());
  socket = static_cast<SocketHandle>(opened);
  return kSuccess;
}

void Win32Sockets::Close(SocketHandle socket) { closesocket(Native(socket)); }

Status Win32Sockets::SetReceiveTimeout(SocketHandle socket, std::uint32_t milliseconds) {
  return SetTimeout(socket, SO_RCVTIMEO, milliseconds);
}

Status Win32Sockets::SetSendTimeout(SocketHandle socket, std::uint32_t milliseconds) {
  return SetTimeout(socket, SO_SNDTIMEO, milliseconds);
}

Status Win32Sockets::ResolveHost(std::string_view name, HostEntry& entry) {
  const std::string text(name);
  const hostent* found = gethostbyname(text.c_str());
  if (found == nullptr || found->h_addr_list == nullptr || found->h_addr_list[0] == nullptr) {
    const int error = WSAGetLastError();
    return error != 0 ? static_cast<Status>(error) : kWsaHostNotFound;
  }
  entry = HostEntry{};
  entry.family = static_cast<std::uint16_t>(found->h_addrtype);
  entry.length = static_cast<std::uint16_t>(found->h_length);
  std::memcpy(entry.firstAddress.data(), found->h_addr_list[0],
              std::min<std::size_t>(entry.length, entry.firstAddress.size()));
  return kSuccess;
}

std::uint32_t Win32Sockets::ParseDottedAddress(std::string_view text) {
  const std::string copy(text);
  return static_cast<std::uint32_t>(inet_addr(copy.c_str()));
}

Status Win32Sockets::SendTo(SocketHandle socket, const std::uint8_t* data, std::size_t size,
                            const SocketAddress& to, std::size_t& sent) {
  sockaddr_in address{};
  address.sin_family = to.family;
  std::memcpy(&address.sin_port, to.port.data(), 2);
  std::memcpy(&address.sin_addr, to.address.data(), 4);
  const int result = sendto(Native(socket), reinterpret_cast<const char*>(data),
                            static_cast<int>(size), 0,
                            reinterpret_cast<const sockaddr*>(&address), sizeof(address));
  if (result == SOCKET_ERROR) return static_cast<Status>(WSAGetLastError());
  sent = static_cast<std::size_t>(result);
  return kSuccess;
}

Status Win32Sockets::ReceiveFrom(SocketHandle socket, std::uint8_t* buffer, std::size_t capacity,
                                 std::size_t& received, SocketAddress& from) {
  sockaddr_in address{};
  int length = sizeof(address);  // 16
  const int result = recvfrom(Native(socket), reinterpret_cast<char*>(buffer),
                              static_cast<int>(capacity), 0,
                              reinterpret_cast<sockaddr*>(&address), &length);
  if (result == SOCKET_ERROR) return static_cast<Status>(WSAGetLastError());
  received = static_cast<std::size_t>(result);
  from = SocketAddress{};
  from.family = address.sin_family;
  std::memcpy(from.port.data(), &address.sin_port, 2);
  std::memcpy(from.address.data(), &address.sin_addr, 4);
  return kSuccess;
}

}  // namespace nebrin::platform::win32
