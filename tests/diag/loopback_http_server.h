// A one-connection-at-a-time HTTP server on 127.0.0.1 for the URL probe tests: it answers every
// request with a short page and keeps the request texts it received. A server that holds the body
// sends the headers and then waits (up to the time given, or until it is destroyed) before it
// closes the connection; a request for "/redirect" is sent on to "/page".
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace nebrin::testing {

class LoopbackHttpServer {
 public:
  explicit LoopbackHttpServer(std::chrono::milliseconds holdBody = std::chrono::milliseconds(0))
      : holdBody_(holdBody) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    socklen_t length = sizeof(address);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    ::listen(listener_, 4);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackHttpServer() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    stopped_.notify_all();
    ::shutdown(listener_, SHUT_RDWR);
    ::close(listener_);
    thread_.join();
  }

  int port() const { return port_; }
  std::string url(const std::string& path = "/") const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  std::vector<std::string> requests() {
    std::lock_guard lock(mutex_);
    return requests_;
  }

 private:
  void Serve() {
    for (;;) {
      const int client = ::accept(listener_, nullptr, nullptr);
      if (client < 0) return;
      std::string request;
      char chunk[1024];
      while (request.find("\r\n\r\n") == std::string::npos) {
        const ssize_t n = ::recv(client, chunk, sizeof(chunk), 0);
        if (n <= 0) break;
        request.append(chunk, static_cast<std::size_t>(n));
      }
      {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
      }
      const std::string body(4096, 'x');
      const std::string headers =
          "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
          std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
      if (request.rfind("GET /redirect ", 0) == 0) {
        const std::string moved =
            "HTTP/1.1 302 Found\r\nLocation: /page\r\nContent-Length: 0\r\n\r\n";
        ::send(client, moved.data(), moved.size(), MSG_NOSIGNAL);
        ::close(client);
        continue;
      }
      ::send(client, headers.data(), headers.size(), MSG_NOSIGNAL);
      if (holdBody_.count() > 0) {
        std::unique_lock lock(mutex_);
        stopped_.wait_for(lock, holdBody_, [this] { return stopping_; });
      } else {
        ::send(client, body.data(), body.size(), MSG_NOSIGNAL);
      }
      ::close(client);
    }
  }

  std::chrono::milliseconds holdBody_;
  bool stopping_ = false;
  std::condition_variable stopped_;
  int listener_ = -1;
  int port_ = 0;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::string> requests_;
};

// A loopback port with nothing listening on it.
inline int ClosedLoopbackPort() {
  const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  socklen_t length = sizeof(address);
  ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(s);
  return ntohs(address.sin_port);
}

}  // namespace nebrin::testing
