// ICMP echo: the echo request packet, its checksum, and the echo test of a host.
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "frame/no_throw.h"
#include "frame/record_text.h"
#include "platform/platform.h"
#include "platform/socket_handles.h"

namespace {

using nebrin::platform::kSuccess;
using nebrin::platform::Status;

constexpr std::uint16_t kWinsockVersion = 0x0102;  // 2.1
constexpr std::uint32_t kTimeoutMs = 1000;
constexpr std::uint32_t kPauseMs = 1000;
constexpr int kDataBytes = 32;
constexpr int kHeaderBytes = 12;
constexpr int kPacketBytes = kDataBytes + kHeaderBytes;  // 44
constexpr std::size_t kBufferBytes = 1024;
constexpr std::size_t kHostBuffer = 200;  // ANSI host text, terminator included
constexpr int kFailureLimit = 4;

constexpr std::uint8_t kEchoReply = 0;
constexpr std::uint8_t kEchoRequest = 8;
constexpr std::uint8_t kFill = 0x45;  // 'E'

// Packet field offsets.
constexpr int kChecksumAt = 2;
constexpr int kIdentifierAt = 4;
constexpr int kSequenceAt = 6;
constexpr int kTimestampAt = 8;

// Multi-byte fields lie in the machine's own byte order.
template <typename T>
void Store(std::uint8_t* packet, int offset, T value) {
  std::memcpy(packet + offset, &value, sizeof(value));
}

std::uint16_t Identifier() {
  return static_cast<std::uint16_t>(nebrin::platform::Current().system().CurrentProcessId());
}

// Whether a datagram from the raw socket is the echo reply to this attempt: an ICMP echo reply
// from the destination carrying the request's identifier and sequence number. A raw socket also
// delivers other ICMP traffic (on loopback, the request itself), which must not count as an answer.
bool IsReplyTo(const std::uint8_t* datagram, std::size_t size,
               const nebrin::platform::SocketAddress& from,
               const nebrin::platform::SocketAddress& destination, const std::uint8_t* request) {
  if (from.address != destination.address || size < 20) return false;
  if ((datagram[0] >> 4) != 4) return false;
  const std::size_t header = static_cast<std::size_t>(datagram[0] & 0x0F) * 4;
  if (header < 20 || size < header + 8) return false;
  const std::uint8_t* icmp = datagram + header;
  return icmp[0] == kEchoReply &&
         std::memcmp(icmp + kIdentifierAt, request + kIdentifierAt, 2) == 0 &&
         std::memcmp(icmp + kSequenceAt, request + kSequenceAt, 2) == 0;
}

enum class Outcome { Answered, Silent };

// Waits up to the attempt's second for the reply, skipping other datagrams. The socket's receive
// time-out is shortened to what is left of the second after a skipped datagram; `timeout` tracks
// the value in force.
Outcome AwaitReply(nebrin::platform::Sockets& sockets, nebrin::platform::SocketHandle socket,
                   std::uint8_t* buffer, const nebrin::platform::SocketAddress& destination,
                   const std::uint8_t* request, std::uint32_t sentAt, std::uint32_t& timeout) {
  auto& clock = nebrin::platform::Current().clock();
  std::uint32_t wanted = kTimeoutMs;
  for (;;) {
    if (wanted != timeout) {
      if (sockets.SetReceiveTimeout(socket, wanted) != kSuccess) return Outcome::Silent;
      timeout = wanted;
    }
    std::memset(buffer, 0, kBufferBytes);
    std::size_t received = 0;
    nebrin::platform::SocketAddress from;
    const Status status = sockets.ReceiveFrom(socket, buffer, kBufferBytes, received, from);
    if (status == nebrin::platform::kWsaTimedOut) return Outcome::Silent;
    // A datagram too large for the buffer is no echo reply of ours, and an interrupted receive
    // brought nothing: both leave the wait going on with the time left. Any other receive error
    // counts as an answer, as it always has.
    const bool nothingForUs =
        status == nebrin::platform::kWsaMessageSize || status == nebrin::platform::kWsaInterrupted;
    if (status != kSuccess && !nothingForUs) return Outcome::Answered;
    if (status == kSuccess && IsReplyTo(buffer, received, from, destination, request)) {
      return Outcome::Answered;
    }
    const std::uint32_t elapsed = clock.TickCount() - sentAt;
    if (elapsed >= kTimeoutMs) return Outcome::Silent;
    wanted = kTimeoutMs - elapsed;
  }
}

int Echo(CNetDiag& diag, int count, const NebrinChar* host) {
  using namespace nebrin::platform;
  // A negative count makes no attempt, and a host that was never asked has not answered.
  if (count < 0) return 0;
  Platform& platform = Current();
  Sockets& sockets = platform.sockets();

  WinsockSession winsock(sockets);
  if (winsock.Start(kWinsockVersion) != kSuccess) return 0;
  UniqueSocket socket(sockets);
  if (sockets.OpenRawIcmp(socket.receive()) != kSuccess) return 0;
  if (sockets.SetReceiveTimeout(socket.get(), kTimeoutMs) != kSuccess ||
      sockets.SetSendTimeout(socket.get(), kTimeoutMs) != kSuccess) {
    return 0;
  }
  std::uint32_t timeout = kTimeoutMs;

  // The host text must fit the 200-byte ANSI buffer with its terminator. An empty one names no
  // host: resolving it would answer the local machine (an adapter without gateway would seem to
  // have one that answers).
  std::string name;
  if (platform.text().ToNarrow(CodePage::Ansi, nebrin::frame::ParamText(host), name) != kSuccess ||
      name.size() >= kHostBuffer || name.empty()) {
    return 0;
  }
  SocketAddress destination;
  HostEntry entry;
  if (sockets.ResolveHost(name, entry) == kSuccess) {
    destination.family = entry.family;
    std::memcpy(destination.address.data(), entry.firstAddress.data(),
                entry.length < destination.address.size() ? entry.length
                                                          : destination.address.size());
  } else {
    const std::uint32_t parsed = sockets.ParseDottedAddress(name);
    if (parsed == kInaddrNone) return 0;
    destination.family = kAfInet;
    std::memcpy(destination.address.data(), &parsed, sizeof(parsed));
  }

  std::vector<std::uint8_t> sendBuffer(kBufferBytes, 0);
  std::vector<std::uint8_t> receiveBuffer(kBufferBytes, 0);
  std::uint8_t* packet = sendBuffer.data();
  diag.fill_icmp_data(reinterpret_cast<char*>(packet), kPacketBytes);

  int failures = 0;
  std::uint16_t sequence = 0;
  for (long long attempt = 0; attempt <= count; ++attempt) {
    Store<std::uint16_t>(packet, kChecksumAt, 0);
    const std::uint32_t stamp = platform.clock().TickCount();
    Store(packet, kTimestampAt, stamp);
    Store(packet, kSequenceAt, sequence++);
    std::uint16_t words[kPacketBytes / 2];
    std::memcpy(words, packet, kPacketBytes);
    Store(packet, kChecksumAt, diag.checksum(words, kPacketBytes));

    std::size_t sent = 0;
    if (sockets.SendTo(socket.get(), packet, kPacketBytes, destination, sent) != kSuccess) {
      ++failures;
      continue;
    }
    if (AwaitReply(sockets, socket.get(), receiveBuffer.data(), destination, packet, stamp,
                   timeout) == Outcome::Silent) {
      ++failures;
      continue;
    }
    platform.clock().Sleep(kPauseMs);
  }
  return failures < kFailureLimit ? 1 : 0;
}

}  // namespace

std::uint16_t CNetDiag::checksum(std::uint16_t* words, int bytes) {
  const auto* data = reinterpret_cast<const unsigned char*>(words);
  std::uint32_t sum = 0;
  int size = words == nullptr ? 0 : bytes;  // no buffer: the checksum of an empty one
  for (; size > 1; size -= 2, data += 2) {
    std::uint16_t word;
    std::memcpy(&word, data, sizeof(word));
    sum += word;
  }
  if (size == 1) sum += *data;
  sum = (sum >> 16) + (sum & 0xFFFF);
  sum += sum >> 16;
  return static_cast<std::uint16_t>(~sum);
}

void CNetDiag::fill_icmp_data(char* buffer, int bytes) {
  // The identifier asks the platform, which a host that installed none has built on this first
  // call: when that cannot be done the packet is left as it was.
  nebrin::frame::GuardedVoid([&] {
    if (buffer == nullptr || bytes <= 0) return;
    auto* packet = reinterpret_cast<std::uint8_t*>(buffer);
    std::uint8_t header[8] = {kEchoRequest, 0};
    Store(header, kChecksumAt, std::uint16_t{0});
    Store(header, kIdentifierAt, Identifier());
    Store(header, kSequenceAt, std::uint16_t{0});
    // The header's fields as far as the buffer goes; the timestamp (bytes 8 to 11) is left alone.
    std::memcpy(packet, header, static_cast<std::size_t>(bytes < 8 ? bytes : 8));
    for (int i = kHeaderBytes; i < bytes; ++i) packet[i] = kFill;
  });
}

int CNetDiag::Ping(int count, NebrinChar* host) {
  // The buffers that cannot be obtained, among others, end the test with 0.
  return nebrin::frame::Guarded(0, [&] { return Echo(*this, count, host); });
}
