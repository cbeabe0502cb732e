#include <new>

#include "platform/sim/machine_state.h"
#include "platform/sim/sim_network.h"
#include "platform/sim/sim_text.h"

namespace nebrin::sim {

// A planned failure stands for COM or the sharing manager being unavailable.
platform::HResult SimNetworkConnections::EnumerateConnections(
    std::vector<platform::NetworkConnection>& connections) {
  try {
    if (Status fault = machine_.accounting.Enter(Service::Connections)) {
      return platform::HResultFromWin32(fault);
    }
    std::vector<platform::NetworkConnection> listed;
    for (const auto& connection : machine_.connections) {
      listed.push_back({Utf8ToUtf16(connection.guid), connection.status});
    }
    connections = std::move(listed);
    return platform::kSOk;
  } catch (const std::bad_alloc&) {
    return static_cast<platform::HResult>(0x8007000Eu);  // E_OUTOFMEMORY
  }
}

}  // namespace nebrin::sim
