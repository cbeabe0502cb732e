// Counts the service calls of the simulated machine and fails the ones a fault plan names.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/sim/machine.h"

namespace nebrin::sim {

class CallAccounting {
 public:
  // Counts one call of `service` (overall and for the service) and returns the error planned for
  // it, or kSuccess. A plan fires once.
  Status Enter(Service service);

  void FailCall(std::uint64_t n, Status error);
  void FailServiceCall(Service service, std::uint64_t n, Status error);
  void ClearFaults() { plans_.clear(); }

  std::uint64_t CallCount() const { return calls_; }
  std::uint64_t CallCount(Service service) const;
  void ResetCounts();

 private:
  struct Plan {
    std::optional<Service> service;  // none: counted on all calls
    std::uint64_t n = 0;
    Status error = platform::kSuccess;
  };

  std::uint64_t calls_ = 0;
  std::array<std::uint64_t, kServiceCount> serviceCalls_{};
  std::vector<Plan> plans_;
};

}  // namespace nebrin::sim
