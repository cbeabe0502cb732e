// RAII ownership for the sockets service: a started Winsock and an open socket.
#pragma once

#include <cstdint>
#include <utility>

#include "platform/sockets.h"

namespace nebrin::platform {

// One successful Startup, ended with Cleanup when it goes out of scope.
class WinsockSession {
 public:
  explicit WinsockSession(Sockets& sockets) : sockets_(sockets) {}
  ~WinsockSession() {
    if (started_) sockets_.Cleanup();
  }
  WinsockSession(const WinsockSession&) = delete;
  WinsockSession& operator=(const WinsockSession&) = delete;

  Status Start(std::uint16_t version) {
    const Status status = sockets_.Startup(version);
    started_ = status == kSuccess;
    return status;
  }

 private:
  Sockets& sockets_;
  bool started_ = false;
};

// Owns one open socket and closes it when it goes out of scope.
class UniqueSocket {
 public:
  explicit UniqueSocket(Sockets& sockets) : sockets_(sockets) {}
  ~UniqueSocket() {
    if (socket_ != kNoSocket) sockets_.Close(socket_);
  }
  UniqueSocket(const UniqueSocket&) = delete;
  UniqueSocket& operator=(const UniqueSocket&) = delete;

  SocketHandle get() const { return socket_; }
  // For the opening call to fill.
  SocketHandle& receive() { return socket_; }

 private:
  Sockets& sockets_;
  SocketHandle socket_ = kNoSocket;
};

}  // namespace nebrin::platform
