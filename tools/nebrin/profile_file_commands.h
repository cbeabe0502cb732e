// The profile file commands: export (stored profiles to a file) and import (back into a store).
#pragma once

#include "host_session.h"

namespace nebrin::host {

void AddProfileFileCommands(CLI::App& app, HostOptions& options);

}  // namespace nebrin::host
