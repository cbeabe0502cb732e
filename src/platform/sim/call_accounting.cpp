#include "platform/sim/call_accounting.h"

namespace nebrin::sim {

Status CallAccounting::Enter(Service service) {
  ++calls_;
  const std::uint64_t serviceCalls = ++serviceCalls_[static_cast<std::size_t>(service)];
  Status result = platform::kSuccess;
  bool fired = false;
  // Every plan that names this call is spent by it; the first one decides the error.
  for (auto it = plans_.begin(); it != plans_.end();) {
    const bool hit =
        it->service ? (*it->service == service && it->n == serviceCalls) : it->n == calls_;
    if (!hit) {
      ++it;
      continue;
    }
    if (!fired) result = it->error;
    fired = true;
    it = plans_.erase(it);
  }
  return result;
}

void CallAccounting::FailCall(std::uint64_t n, Status error) {
  plans_.push_back(Plan{std::nullopt, n, error});
}

void CallAccounting::FailServiceCall(Service service, std::uint64_t n, Status error) {
  plans_.push_back(Plan{service, n, error});
}

std::uint64_t CallAccounting::CallCount(Service service) const {
  return serviceCalls_[static_cast<std::size_t>(service)];
}

void CallAccounting::ResetCounts() {
  calls_ = 0;
  serviceCalls_.fill(0);
}

}  // namespace nebrin::sim
