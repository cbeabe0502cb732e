#include <arpa/inet.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <string>

#include "platform/sim/machine_state.h"
#include "platform/sim/sim_network.h"

namespace nebrin::sim {
namespace {

using platform::SocketAddress;
using Address = std::array<std::uint8_t, 4>;

constexpr std::size_t kIpHeader = 20;
constexpr std::uint8_t kEchoReply = 0;
constexpr std::uint8_t kEchoRequest = 8;

std::string Dotted(const Address& a) {
  return std::to_string(a[0]) + "." + std::to_string(a[1]) + "." + std::to_string(a[2]) + "." +
         std::to_string(a[3]);
}

std::optional<Address> ParseDotted(const std::string& text) {
  in_addr parsed{};
  if (inet_aton(text.c_str(), &parsed) == 0) return std::nullopt;
  Address address;
  std::memcpy(address.data(), &parsed, 4);
  return address;
}

std::uint16_t InternetChecksum(const std::uint8_t* data, std::size_t size) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i + 1 < size; i += 2) sum += static_cast<std::uint32_t>(data[i] << 8 | data[i + 1]);
  if (size % 2 != 0) sum += static_cast<std::uint32_t>(data[size - 1] << 8);
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<std::uint16_t>(~sum);
}

// An IPv4 datagram carrying `icmp` from `source`, with its type replaced and checksum renewed,
// as a raw socket delivers it.
std::vector<std::uint8_t> Datagram(const Address& source, const Address& destination,
                                   std::vector<std::uint8_t> icmp, std::uint8_t type) {
  icmp[0] = type;
  icmp[2] = icmp[3] = 0;
  const std::uint16_t icmpSum = InternetChecksum(icmp.data(), icmp.size());
  icmp[2] = static_cast<std::uint8_t>(icmpSum >> 8);
  icmp[3] = static_cast<std::uint8_t>(icmpSum);
  std::vector<std::uint8_t> datagram(kIpHeader);
  const std::size_t total = kIpHeader + icmp.size();
  datagram[0] = 0x45;  // version 4, five 32-bit words of header
  datagram[2] = static_cast<std::uint8_t>(total >> 8);
  datagram[3] = static_cast<std::uint8_t>(total);
  datagram[8] = 128;  // time to live
  datagram[9] = 1;    // ICMP
  std::copy(source.begin(), source.end(), datagram.begin() + 12);
  std::copy(destination.begin(), destination.end(), datagram.begin() + 16);
  const std::uint16_t headerSum = InternetChecksum(datagram.data(), kIpHeader);
  datagram[10] = static_cast<std::uint8_t>(headerSum >> 8);
  datagram[11] = static_cast<std::uint8_t>(headerSum);
  datagram.insert(datagram.end(), icmp.begin(), icmp.end());
  return datagram;
}

}  // namespace

Status SimSockets::Startup(std::uint16_t version) {
  try {
    if (Status fault = machine_.accounting.Enter(Service::Sockets)) return fault;
    const unsigned major = version & 0xFFu;
    if (major < 1 || major > 2) return platform::kWsaVersionNotSupported;
    ++machine_.winsockStarts;
    return platform::kSuccess;
  } catch (const std::bad_alloc&) {
    return platform::kWsaNoBuffers;
  }
}

// WSACleanup's failures are of no use to a caller: counted, a planned failure is spent. One
// without a start left to end (Winsock answers WSANOTINITIALISED) is a misuse.
void SimSockets::Cleanup() {
  machine_.accounting.Enter(Service::Sockets);
  if (machine_.winsockStarts > 0) {
    --machine_.winsockStarts;
  } else {
    ++machine_.winsockMisuses;
  }
}

Status SimSockets::OpenRawIcmp(platform::SocketHandle& socket) {
  try {
    if (Status fault = machine_.accounting.Enter(Service::Sockets)) return fault;
    if (machine_.winsockStarts == 0) return platform::kWsaNotInitialised;
    Machine::State::OpenedSocket opened;
    platform::SocketHandle handle = platform::kNoSocket;
    if (machine_.network.real) {
      if (Status status = real_.OpenRawIcmp(handle)) return status;
      opened.real = true;
    } else {
      // Raw sockets need administrative rights on this generation of Windows.
      if (!machine_.system.administrator) return platform::kWsaAccessDenied;
      handle = machine_.nextSocket;
      machine_.nextSocket += 4;
    }
    const bool real = opened.real;
    try {
      machine_.sockets.emplace(handle, std::move(opened));
    } catch (...) {
      // A socket the machine cannot keep is not handed out, and a real one is closed again.
      if (real) real_.Close(handle);
      throw;
    }
    socket = handle;
    return platform::kSuccess;
  } catch (const std::bad_alloc&) {
    return platform::kWsaNoBuffers;
  }
}

void SimSockets::Close(platform::SocketHandle socket) {
  machine_.accounting.Enter(Service::Sockets);
  auto found = machine_.sockets.find(socket);
  if (found == machine_.sockets.end()) return;
  if (found->second.real) real_.Close(socket);
  machine_.sockets.erase(found);
}

Status SimSockets::SetReceiveTimeout(platform::SocketHandle socket, std::uint32_t milliseconds) {
  if (Status fault = machine_.accounting.Enter(Service::Sockets)) return fault;
  auto found = machine_.sockets.find(socket);
  if (found == machine_.sockets.end()) return platform::kWsaNotSocket;
  if (found->second.real) {
    if (Status status = real_.SetReceiveTimeout(socket, milliseconds)) return status;
  }
  found->second.receiveTimeout = milliseconds;
  return platform::kSuccess;
}

Status SimSockets::SetSendTimeout(platform::SocketHandle socket, std::uint32_t milliseconds) {
  if (Status fault = machine_.accounting.Enter(Service::Sockets)) return fault;
  auto found = machine_.sockets.find(socket);
  if (found == machine_.sockets.end()) return platform::kWsaNotSocket;
  if (found->second.real) {
    if (Status status = real_.SetSendTimeout(socket, milliseconds)) return status;
  }
  found->second.sendTimeout = milliseconds;
  return platform::kSuccess;
}

// A dotted address resolves to itself, "localhost" to 127.0.0.1, a host's name (in any case) to
// its address; nothing else resolves. An empty name is the local machine (127.0.0.1), as
// gethostbyname answers it.
Status SimSockets::ResolveHost(std::string_view name, platform::HostEntry& entry) {
  try {
    if (Status fault = machine_.accounting.Enter(Service::Sockets)) return fault;
    if (machine_.winsockStarts == 0) return platform::kWsaNotInitialised;
    if (machine_.network.real) return real_.ResolveHost(name, entry);
    auto folded = [](std::string_view text) {
      std::string out(text);
      for (char& c : out) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
      return out;
    };
    const std::string text(name);
    std::optional<Address> address;
    if (std::count(text.begin(), text.end(), '.') == 3) address = ParseDotted(text);
    if (!address && (text.empty() || folded(text) == "localhost")) address = Address{127, 0, 0, 1};
    for (const auto& host : machine_.network.hosts) {
      if (address) break;
      for (const auto& hostName : host.names) {
        if (folded(hostName) == folded(text)) address = ParseDotted(host.address);
      }
    }
    if (!address) return platform::kWsaHostNotFound;
    entry = platform::HostEntry{};
    entry.family = platform::kAfInet;
    entry.length = 4;
    std::copy(address->begin(), address->end(), entry.firstAddress.begin());
    return platform::kSuccess;
  } catch (const std::bad_alloc&) {
    return platform::kWsaNoBuffers;
  }
}

// inet_addr cannot fail: the call is counted and a planned failure is spent on it.
std::uint32_t SimSockets::ParseDottedAddress(std::string_view text) {
  machine_.accounting.Enter(Service::Sockets);
  return real_.ParseDottedAddress(text);
}

// An echo request to a loopback address comes back twice, first the request itself and then the
// reply, as on Linux's loopback; a listed host answers by its pattern; other addresses are silent.
Status SimSockets::SendTo(platform::SocketHandle socket, const std::uint8_t* data,
                          std::size_t size, const SocketAddress& to, std::size_t& sent) {
  try {
    if (Status fault = machine_.accounting.Enter(Service::Sockets)) return fault;
    auto found = machine_.sockets.find(socket);
    if (found == machine_.sockets.end()) return platform::kWsaNotSocket;
    auto& opened = found->second;
    if (opened.real) return real_.SendTo(socket, data, size, to, sent);
    if (to.family != platform::kAfInet) return 10047;  // WSAEAFNOSUPPORT
    sent = size;
    if (size < 8 || data[0] != kEchoRequest) return platform::kSuccess;
    const std::string destination = Dotted(to.address);
    machine_.echoRequests.push_back({destination, std::vector<std::uint8_t>(data, data + size)});
    const std::uint64_t nth = opened.requestsTo[destination]++;
    const std::vector<std::uint8_t> request(data, data + size);
    auto deliver = [&](const Address& from, std::vector<std::uint8_t> icmp, std::uint8_t type) {
      SocketAddress sender;
      sender.family = platform::kAfInet;
      sender.address = from;
      opened.pending.push_back(Datagram(from, Address{127, 0, 0, 1}, std::move(icmp), type));
      opened.senders.push_back(sender);
    };
    if (to.address[0] == 127) {
      deliver(to.address, request, kEchoRequest);
      deliver(to.address, request, kEchoReply);
      return platform::kSuccess;
    }
    for (const auto& host : machine_.network.hosts) {
      if (host.address != destination || host.replies.empty()) continue;
      const char reply = host.replies[nth % host.replies.size()];
      if (reply == '+') {
        deliver(to.address, request, kEchoReply);
      } else if (reply == '~') {
        // Another program's echo exchange with a neighbour: an identifier that is not ours.
        std::vector<std::uint8_t> other = request;
        other[4] = static_cast<std::uint8_t>(~other[4]);
        Address neighbour = to.address;
        neighbour[3] = static_cast<std::uint8_t>(neighbour[3] ^ 1);
        deliver(neighbour, other, kEchoReply);
      }
      break;
    }
    return platform::kSuccess;
  } catch (const std::bad_alloc&) {
    return platform::kWsaNoBuffers;
  }
}

// With nothing waiting the receive time-out passes on the virtual clock at once. A socket without
// a time-out would wait for ever; the simulation ends such a wait as a time-out too.
Status SimSockets::ReceiveFrom(platform::SocketHandle socket, std::uint8_t* buffer,
                               std::size_t capacity, std::size_t& received, SocketAddress& from) {
  if (Status fault = machine_.accounting.Enter(Service::Sockets)) return fault;
  auto found = machine_.sockets.find(socket);
  if (found == machine_.sockets.end()) return platform::kWsaNotSocket;
  auto& opened = found->second;
  if (opened.real) return real_.ReceiveFrom(socket, buffer, capacity, received, from);
  if (opened.pending.empty()) {
    machine_.tickCount += opened.receiveTimeout;
    return platform::kWsaTimedOut;
  }
  const std::vector<std::uint8_t> datagram = std::move(opened.pending.front());
  const SocketAddress sender = opened.senders.front();
  opened.pending.pop_front();
  opened.senders.pop_front();
  const std::size_t copied = std::min(capacity, datagram.size());
  std::copy_n(datagram.begin(), copied, buffer);
  received = copied;
  from = sender;
  return datagram.size() > capacity ? platform::kWsaMessageSize : platform::kSuccess;
}

}  // namespace nebrin::sim
