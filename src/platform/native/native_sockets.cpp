#include "platform/native/native_sockets.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace nebrin::platform::native {
namespace {

int Fd(SocketHandle socket) { return static_cast<int>(socket); }

Status SetTimeout(SocketHandle socket, int option, std::uint32_t milliseconds) {
  timeval value{};
  value.tv_sec = static_cast<time_t>(milliseconds / 1000);
  value.tv_usec = static_cast<suseconds_t>((milliseconds % 1000) * 1000);
  if (setsockopt(Fd(socket), SOL_SOCKET, option, &value, sizeof(value)) != 0) {
    return WinsockError(errno);
  }
  return kSuccess;
}

}  // namespace

Status WinsockError(int error) {
  switch (error) {
    case EINTR:
      return kWsaInterrupted;
    case EPERM:
    case EACCES:
      return kWsaAccessDenied;
    case EBADF:
    case ENOTSOCK:
      return kWsaNotSocket;
    case ENETUNREACH:
      return kWsaNetworkUnreachable;
    case EHOSTUNREACH:
      return kWsaHostUnreachable;
    case ENOBUFS:
    case ENOMEM:
      return kWsaNoBuffers;
    case EAGAIN:
    case ETIMEDOUT:
      return kWsaTimedOut;
    default:
      return kWsaInvalidArgument;
  }
}

// Linux needs no start-up; the version is checked as Winsock checks it (major 1 or 2).
Status NativeSockets::Startup(std::uint16_t version) {
  const unsigned major = version & 0xFFu;
  return major >= 1 && major <= 2 ? kSuccess : kWsaVersionNotSupported;
}

void NativeSockets::Cleanup() {}

Status NativeSockets::OpenRawIcmp(SocketHandle& socket) {
  const int fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
  if (fd < 0) return WinsockError(errno);
  socket = static_cast<SocketHandle>(fd);
  return kSuccess;
}

void NativeSockets::Close(SocketHandle socket) { ::close(Fd(socket)); }

Status NativeSockets::SetReceiveTimeout(SocketHandle socket, std::uint32_t milliseconds) {
  return SetTimeout(socket, SO_RCVTIMEO, milliseconds);
}

Status NativeSockets::SetSendTimeout(SocketHandle socket, std::uint32_t milliseconds) {
  return SetTimeout(socket, SO_SNDTIMEO, milliseconds);
}

// getaddrinfo (thread-safe, unlike gethostbyname) limited to IPv4, as gethostbyname answers.
Status NativeSockets::ResolveHost(std::string_view name, HostEntry& entry) {
  const std::string text(name);
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_RAW;
  hints.ai_protocol = IPPROTO_ICMP;
  addrinfo* found = nullptr;
  if (getaddrinfo(text.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
    return kWsaHostNotFound;
  }
  const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  entry = HostEntry{};
  entry.family = kAfInet;
  entry.length = 4;
  std::memcpy(entry.firstAddress.data(), &address->sin_addr, 4);
  freeaddrinfo(found);
  return kSuccess;
}

std::uint32_t NativeSockets::ParseDottedAddress(std::string_view text) {
  const std::string copy(text);
  return static_cast<std::uint32_t>(inet_addr(copy.c_str()));
}

Status NativeSockets::SendTo(SocketHandle socket, const std::uint8_t* data, std::size_t size,
                             const SocketAddress& to, std::size_t& sent) {
  sockaddr_in address{};
  address.sin_family = to.family;
  std::memcpy(&address.sin_port, to.port.data(), 2);
  std::memcpy(&address.sin_addr, to.address.data(), 4);
  const ssize_t result = ::sendto(Fd(socket), data, size, 0,
                                  reinterpret_cast<const sockaddr*>(&address), sizeof(address));
  if (result < 0) return WinsockError(errno);
  sent = static_cast<std::size_t>(result);
  return kSuccess;
}

Status NativeSockets::ReceiveFrom(SocketHandle socket, std::uint8_t* buffer, std::size_t capacity,
                                  std::size_t& received, SocketAddress& from) {
  sockaddr_in address{};
  socklen_t length = sizeof(address);
  const ssize_t result = ::recvfrom(Fd(socket), buffer, capacity, 0,
                                    reinterpret_cast<sockaddr*>(&address), &length);
  if (result < 0) return WinsockError(errno);
  received = static_cast<std::size_t>(result);
  from = SocketAddress{};
  from.family = address.sin_family;
  std::memcpy(from.port.data(), &address.sin_port, 2);
  std::memcpy(from.address.data(), &address.sin_addr, 4);
  return kSuccess;
}

}  // namespace nebrin::platform::native
