// The simulated machine's services, shell, wireless adapters, companion driver and network
// configuration, as `nebrin machine show` prints them.
#pragma once

#include <ostream>

#include "platform/sim/machine.h"

namespace nebrin::host {

void PrintWirelessState(const sim::Machine& machine, std::ostream& out);
// Each wireless adapter's 802.11 state: mode, authentication, encryption, keys, SSID, association.
void PrintWirelessAdapters(const sim::Machine& machine, std::ostream& out);

}  // namespace nebrin::host
