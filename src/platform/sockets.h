// Sockets service: the Winsock 2 calls of the ICMP echo test (WSAStartup, WSASocketW for a raw
// ICMP socket, setsockopt time-outs, gethostbyname, inet_addr, sendto, recvfrom), with Winsock's
// error numbers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/status.h"

namespace nebrin::platform {

// Winsock error numbers (WSAGetLastError) the library meets.
inline constexpr Status kWsaInterrupted = 10004;       // WSAEINTR
inline constexpr Status kWsaAccessDenied = 10013;      // WSAEACCES (raw sockets need the right)
inline constexpr Status kWsaInvalidArgument = 10022;   // WSAEINVAL
inline constexpr Status kWsaNotSocket = 10038;         // WSAENOTSOCK
inline constexpr Status kWsaMessageSize = 10040;       // WSAEMSGSIZE: a datagram cut to the buffer
inline constexpr Status kWsaNetworkUnreachable = 10051;  // WSAENETUNREACH
inline constexpr Status kWsaNoBuffers = 10055;         // WSAENOBUFS
inline constexpr Status kWsaTimedOut = 10060;          // WSAETIMEDOUT
inline constexpr Status kWsaHostUnreachable = 10065;   // WSAEHOSTUNREACH
inline constexpr Status kWsaVersionNotSupported = 10092;  // WSAVERNOTSUPPORTED
inline constexpr Status kWsaNotInitialised = 10093;    // WSANOTINITIALISED
inline constexpr Status kWsaHostNotFound = 11001;      // WSAHOST_NOT_FOUND

inline constexpr std::uint16_t kAfInet = 2;  // AF_INET

// inet_addr's answer for a text that is not a dotted address.
inline constexpr std::uint32_t kInaddrNone = 0xFFFFFFFFu;

// An IPv4 socket address (SOCKADDR_IN, 16 bytes). The port and address bytes are in network
// order, as they lie in the structure.
struct SocketAddress {
  std::uint16_t family = 0;
  std::array<std::uint8_t, 2> port{};
  std::array<std::uint8_t, 4> address{};
};

// The part of a HOSTENT the library reads: the family, the address length and the first address
// (network order; as many bytes as the length, at most 16 kept).
struct HostEntry {
  std::uint16_t family = 0;
  std::uint16_t length = 0;
  std::array<std::uint8_t, 16> firstAddress{};
};

using SocketHandle = std::uintptr_t;
inline constexpr SocketHandle kNoSocket = ~SocketHandle{0};  // INVALID_SOCKET

class Sockets {
 public:
  virtual ~Sockets() = default;

  // WSAStartup with the requested version word (0x0102 is 2.1); its result is the error.
  virtual Status Startup(std::uint16_t version) = 0;
  // WSACleanup, once per successful Startup.
  virtual void Cleanup() = 0;
  // WSASocketW(AF_INET, SOCK_RAW, IPPROTO_ICMP, no protocol info, group 0, WSA_FLAG_OVERLAPPED).
  virtual Status OpenRawIcmp(SocketHandle& socket) = 0;
  // closesocket.
  virtual void Close(SocketHandle socket) = 0;
  // setsockopt(SOL_SOCKET, SO_RCVTIMEO / SO_SNDTIMEO) with a 4-byte millisecond value.
  virtual Status SetReceiveTimeout(SocketHandle socket, std::uint32_t milliseconds) = 0;
  virtual Status SetSendTimeout(SocketHandle socket, std::uint32_t milliseconds) = 0;
  // gethostbyname of 8-bit (ANSI) text: kWsaHostNotFound or another error when there is no entry.
  virtual Status ResolveHost(std::string_view name, HostEntry& entry) = 0;
  // inet_addr: the address in network order as it lies in memory, or kInaddrNone.
  virtual std::uint32_t ParseDottedAddress(std::string_view text) = 0;
  // sendto of one datagram.
  virtual Status SendTo(SocketHandle socket, const std::uint8_t* data, std::size_t size,
                        const SocketAddress& to, std::size_t& sent) = 0;
  // recvfrom of one datagram into `capacity` bytes; kWsaTimedOut when the receive time-out ends
  // first. A raw socket delivers the IPv4 header in front of the ICMP message.
  virtual Status ReceiveFrom(SocketHandle socket, std::uint8_t* buffer, std::size_t capacity,
                             std::size_t& received, SocketAddress& from) = 0;
};

}  // namespace nebrin::platform
