// `nebrin adapters`: the machine's current settings as the library captures them.
#pragma once

#include "host_session.h"

namespace nebrin::host {

void AddAdaptersCommand(CLI::App& app, HostOptions& options);

}  // namespace nebrin::host
