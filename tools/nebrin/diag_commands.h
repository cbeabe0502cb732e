// `nebrin ping`, `nebrin url` and `nebrin diag`: the connection diagnostics.
#pragma once

#include "host_session.h"

namespace nebrin::host {

void AddDiagCommands(CLI::App& app, HostOptions& options);

}  // namespace nebrin::host
