// The profile commands: save, list, show, current, delete and forget (profile_commands.cpp);
// rename, set-printer and edit (profile_edit_commands.cpp).
#pragma once

#include "host_session.h"

namespace nebrin::host {

void AddProfileCommands(CLI::App& app, HostOptions& options);
void AddProfileEditCommands(CLI::App& app, HostOptions& options);

}  // namespace nebrin::host
