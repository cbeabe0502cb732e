// The application commands: apply (NormalSetup on a stored profile) and script (the address
// script of a stored profile, written and shown without running the network shell).
#pragma once

#include "host_session.h"

namespace nebrin::host {

void AddApplyCommands(CLI::App& app, HostOptions& options);

}  // namespace nebrin::host
