// The Internet client service over WinINet.
#pragma once

#include "platform/internet_client.h"

namespace nebrin::platform::win32 {

class Win32InternetClient final : public InternetClient {
 public:
  Status Open(std::u16string_view agent, std::uint32_t accessType,
              InternetHandle& handle) override;
  Status OpenUrl(InternetHandle client, std::u16string_view url, std::uint32_t flags,
                 InternetHandle& handle) override;
  void Close(InternetHandle handle) override;
};

}  // namespace nebrin::platform::win32
