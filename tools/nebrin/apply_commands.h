// The application commands: apply (ApplySelectProfile on a stored profile, from the profile in
// force or the one --from names) and script (the address script of a stored profile without
// sharing, written and shown without running the network shell).
#pragma once

#include "host_session.h"

namespace nebrin::host {

void AddApplyCommands(CLI::App& app, HostOptions& options);

}  // namespace nebrin::host
