// The adapter list service of the simulated machine: GetAdaptersInfo over the listed adapters and
// their TCP/IP interface keys.
#pragma once

#include "platform/adapter_list.h"
#include "platform/sim/machine.h"

namespace nebrin::sim {

// The size of one 32-bit IP_ADAPTER_INFO, what the list needs per adapter.
inline constexpr std::uint32_t kAdapterInfoSize = 640;

class SimAdapterList final : public platform::AdapterList {
 public:
  explicit SimAdapterList(Machine::State& machine) : machine_(machine) {}

  Status QuerySize(std::uint32_t& bytes) override;
  Status Fill(std::uint32_t bytes, std::vector<platform::AdapterListEntry>& entries) override;

 private:
  Machine::State& machine_;
};

}  // namespace nebrin::sim
