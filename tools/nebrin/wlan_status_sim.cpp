#include <iostream>
#include <memory>

#include "host_profile.h"
#include "nebrin/platform_install.h"
#include "platform/sim/machine.h"
#include "wireless_view.h"
#include "wlan_status.h"

namespace nebrin::host {

void ShowWlanStatus(const HostOptions& options) {
  auto session = OpenSession(options);
  auto machine = std::dynamic_pointer_cast<sim::Machine>(InstalledPlatform());
  if (!machine) {
    throw Refusal("the 802.11 state is shown for the simulated machine only (--native has none)");
  }
  PrintWirelessAdapters(*machine, std::cout);
}

}  // namespace nebrin::host
