#include "echo_progress.h"

#include <cstring>
#include <optional>

#include "platform/forwarding_platform.h"
#include "platform_override.h"

namespace nebrin::host {
namespace {

using namespace nebrin::platform;

std::string Dotted(const std::array<std::uint8_t, 4>& a) {
  return std::to_string(a[0]) + "." + std::to_string(a[1]) + "." + std::to_string(a[2]) + "." +
         std::to_string(a[3]);
}

// Passes every call through, following the echo requests sent and the datagrams received.
class WatchingSockets final : public Sockets {
 public:
  WatchingSockets(Sockets& inner, Clock& clock, std::function<void(const EchoAttempt&)> report)
      : inner_(inner), clock_(clock), report_(std::move(report)) {}
  ~WatchingSockets() override { Conclude(false, "no reply within 1 s"); }

  Status Startup(std::uint16_t version) override { return inner_.Startup(version); }
  void Cleanup() override { inner_.Cleanup(); }
  Status OpenRawIcmp(SocketHandle& socket) override { return inner_.OpenRawIcmp(socket); }
  void Close(SocketHandle socket) override {
    Conclude(false, "no reply within 1 s");
    inner_.Close(socket);
  }
  Status SetReceiveTimeout(SocketHandle socket, std::uint32_t ms) override {
    return inner_.SetReceiveTimeout(socket, ms);
  }
  Status SetSendTimeout(SocketHandle socket, std::uint32_t ms) override {
    return inner_.SetSendTimeout(socket, ms);
  }
  Status ResolveHost(std::string_view name, HostEntry& entry) override {
    return inner_.ResolveHost(name, entry);
  }
  std::uint32_t ParseDottedAddress(std::string_view text) override {
    return inner_.ParseDottedAddress(text);
  }

  Status SendTo(SocketHandle socket, const std::uint8_t* data, std::size_t size,
                const SocketAddress& to, std::size_t& sent) override {
    // A new request ends the previous attempt if nothing else did (its second ran out between
    // skipped datagrams).
    Conclude(false, "no reply within 1 s");
    const Status status = inner_.SendTo(socket, data, size, to, sent);
    ++number_;
    open_ = true;
    destination_ = to.address;
    if (size >= 8) std::memcpy(request_, data, 8);
    if (status != kSuccess) Conclude(false, "send failed (error " + std::to_string(status) + ")");
    return status;
  }

  Status ReceiveFrom(SocketHandle socket, std::uint8_t* buffer, std::size_t capacity,
                     std::size_t& received, SocketAddress& from) override {
    const Status status = inner_.ReceiveFrom(socket, buffer, capacity, received, from);
    if (status == kWsaTimedOut) {
      Conclude(false, "no reply within 1 s");
    } else if (status != kSuccess) {
      Conclude(true, "receive error " + std::to_string(status) + " (counted as an answer)");
    } else if (auto rtt = MatchingReply(buffer, received, from)) {
      Conclude(true, "reply from " + Dotted(from.address) + " seq " +
                         std::to_string(request_[6] | request_[7] << 8) + " in " +
                         std::to_string(*rtt) + " ms" +
                         (skipped_ > 0 ? " (" + std::to_string(skipped_) +
                                             " other datagram(s) skipped)"
                                       : ""));
    } else {
      ++skipped_;
    }
    return status;
  }

 private:
  // The round trip of an echo reply to the open attempt, from the timestamp it carries back.
  std::optional<std::uint32_t> MatchingReply(const std::uint8_t* d, std::size_t size,
                                             const SocketAddress& from) {
    if (!open_ || from.address != destination_ || size < 20) return std::nullopt;
    const std::size_t header = static_cast<std::size_t>(d[0] & 0x0F) * 4;
    if (size < header + 12) return std::nullopt;
    const std::uint8_t* icmp = d + header;
    if (icmp[0] != 0 || std::memcmp(icmp + 4, request_ + 4, 4) != 0) return std::nullopt;
    std::uint32_t stamp;
    std::memcpy(&stamp, icmp + 8, 4);
    return clock_.TickCount() - stamp;
  }

  void Conclude(bool answered, const std::string& detail) {
    if (!open_) return;
    open_ = false;
    skipped_ = 0;
    report_(EchoAttempt{number_, answered, detail});
  }

  Sockets& inner_;
  Clock& clock_;
  std::function<void(const EchoAttempt&)> report_;
  int number_ = 0;
  bool open_ = false;
  int skipped_ = 0;
  std::array<std::uint8_t, 4> destination_{};
  std::uint8_t request_[8]{};
};

class WatchingPlatform final : public ForwardingPlatform {
 public:
  WatchingPlatform(std::shared_ptr<Platform> inner, std::function<void(const EchoAttempt&)> report)
      : ForwardingPlatform(*inner),
        inner_(std::move(inner)),
        sockets_(inner_->sockets(), inner_->clock(), std::move(report)) {}

  Sockets& sockets() override { return sockets_; }

 private:
  std::shared_ptr<Platform> inner_;
  WatchingSockets sockets_;
};

}  // namespace

int WatchEchoAttempts(const std::function<int()>& run,
                      const std::function<void(const EchoAttempt&)>& report) {
  return RunOnWrappedPlatform<WatchingPlatform>(run, report);
}

bool CanWatchEchoAttempts() { return true; }

}  // namespace nebrin::host
