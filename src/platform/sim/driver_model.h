// What the simulated machine keeps of the companion protocol driver: every request that reached
// it, with its bytes and its answer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nebrin::sim {

struct DriverRequest {
  std::string adapter;     // the GUID the handle was bound to when the request came; "" unbound
  std::uint32_t code = 0;  // the request code
  std::vector<std::uint8_t> input;
  std::uint32_t error = 0;  // what the driver answered: 0 or a Win32 error
};

struct DriverState {
  std::vector<DriverRequest> requests;  // oldest first
};

}  // namespace nebrin::sim
