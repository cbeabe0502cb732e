// Internet client service: the WinINet calls of the URL probe (InternetOpenW, InternetOpenUrlW,
// InternetCloseHandle). Handles hang from the handle they were opened on: closing a client handle
// also closes the URL handles opened on it, as WinINet does.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>

#include "platform/status.h"

namespace nebrin::platform {

using InternetHandle = std::uintptr_t;
inline constexpr InternetHandle kNoInternetHandle = 0;  // NULL

inline constexpr std::uint32_t kInternetOpenTypePreconfig = 0;           // INTERNET_OPEN_TYPE_PRECONFIG
inline constexpr std::uint32_t kInternetFlagExistingConnect = 0x20000000;  // INTERNET_FLAG_EXISTING_CONNECT

// WinINet error numbers the implementations answer with.
inline constexpr Status kInternetInternalError = 12004;       // ERROR_INTERNET_INTERNAL_ERROR
inline constexpr Status kInternetUnrecognizedScheme = 12006;  // ERROR_INTERNET_UNRECOGNIZED_SCHEME
inline constexpr Status kInternetNameNotResolved = 12007;     // ERROR_INTERNET_NAME_NOT_RESOLVED
inline constexpr Status kInternetCannotConnect = 12029;       // ERROR_INTERNET_CANNOT_CONNECT

class InternetClient {
 public:
  virtual ~InternetClient() = default;

  // InternetOpenW(agent, access type, no proxy, no bypass list, no flags); the error when no
  // handle comes back.
  virtual Status Open(std::u16string_view agent, std::uint32_t accessType,
                      InternetHandle& handle) = 0;
  // InternetOpenUrlW(client, url, no headers, flags, context 0); the error when no handle comes
  // back.
  virtual Status OpenUrl(InternetHandle client, std::u16string_view url, std::uint32_t flags,
                         InternetHandle& handle) = 0;
  // InternetCloseHandle.
  virtual void Close(InternetHandle handle) = 0;
};

// Owns one Internet handle. A client handle also closes the URL handles opened on it, but a URL
// handle is closed on its own first (its owner is declared after the client's).
class UniqueInternetHandle {
 public:
  explicit UniqueInternetHandle(InternetClient& client) : client_(client) {}
  ~UniqueInternetHandle() {
    if (handle_ != kNoInternetHandle) client_.Close(handle_);
  }
  UniqueInternetHandle(const UniqueInternetHandle&) = delete;
  UniqueInternetHandle& operator=(const UniqueInternetHandle&) = delete;

  InternetHandle get() const { return handle_; }
  InternetHandle& receive() { return handle_; }

 private:
  InternetClient& client_;
  InternetHandle handle_ = kNoInternetHandle;
};

}  // namespace nebrin::platform
