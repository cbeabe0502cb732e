// The sharing commands: sharing (the connections with their sharing role and firewall) and
// firewall (SetICF for a stored profile).
#pragma once

#include "host_session.h"

namespace nebrin::host {

void AddSharingCommands(CLI::App& app, HostOptions& options);

}  // namespace nebrin::host
