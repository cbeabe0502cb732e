// Linux's Internet client behind the WinINet-shaped seam: libcurl, limited to the schemes WinINet
// opens (http, https, ftp), with no time-outs of its own.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/internet_client.h"

namespace nebrin::platform::native {

class CurlInternetClient final : public InternetClient {
 public:
  CurlInternetClient();
  ~CurlInternetClient() override;

  Status Open(std::u16string_view agent, std::uint32_t accessType,
              InternetHandle& handle) override;
  Status OpenUrl(InternetHandle client, std::u16string_view url, std::uint32_t flags,
                 InternetHandle& handle) override;
  void Close(InternetHandle handle) override;

 private:
  struct Handle {
    InternetHandle parent = kNoInternetHandle;  // none for a client handle
    std::string agent;                          // client handles: the user agent (UTF-8)
  };
  std::map<InternetHandle, Handle> handles_;
  InternetHandle next_ = 1;
};

}  // namespace nebrin::platform::native
