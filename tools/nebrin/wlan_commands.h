// `nebrin wlan adhoc|set|status`: 802.11 requests to one adapter through the companion driver,
// each command opening a bound handle, acting and closing it; and `nebrin driver check|install`.
#pragma once

#include "host_session.h"

namespace CLI {
class App;
}

namespace nebrin::host {

void AddWlanCommands(CLI::App& app, HostOptions& options);
// Adds `check` and `install` to the `driver` command.
void AddDriverCommands(CLI::App& driver, HostOptions& options);

}  // namespace nebrin::host
