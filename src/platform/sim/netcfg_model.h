// The simulated machine's network configuration: who else holds its write lock, the network
// components installed, and the store of setup files they are installed from.
#pragma once

#include <string>
#include <vector>

namespace nebrin::sim {

// A network protocol component installed through the configuration.
struct SimComponent {
  std::string id;  // the component identifier, such as "K_ORLPD"
};

// A setup file copied into the store (the "inf" folder beside the system directory).
struct SimSetupFile {
  std::string name;    // "oem0.inf", ...
  std::string source;  // the full path it was copied from
};

struct NetCfgState {
  // Another configuration client holds the write lock with this description; "" when none does.
  std::string writeLockHeldBy;
  std::vector<SimComponent> components;
  std::vector<SimSetupFile> setupFiles;
};

}  // namespace nebrin::sim
