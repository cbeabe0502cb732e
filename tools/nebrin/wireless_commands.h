// Wireless commands: the wireless configuration service, the product's wireless service, the
// companion driver's service, the one-click ad hoc action and the connection menu command.
#pragma once

#include "host_session.h"

namespace CLI {
class App;
}

namespace nebrin::host {

void AddWirelessCommands(CLI::App& app, HostOptions& options);

}  // namespace nebrin::host
