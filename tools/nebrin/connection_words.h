// A connection's state (NETCON_STATUS) in words, as the host's tables show it.
#pragma once

#include <cstdint>
#include <string>

namespace nebrin::host {

inline std::string ConnectionStatusWords(std::uint32_t status) {
  switch (status) {
    case 0:
      return "disabled";
    case 1:
      return "connecting";
    case 2:
      return "connected";
    case 7:
      return "cable unplugged";
    default:
      return "status " + std::to_string(status);
  }
}

}  // namespace nebrin::host
