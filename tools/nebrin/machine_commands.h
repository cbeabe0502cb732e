// `nebrin machine ...`: creating and showing the simulated machine.
#pragma once

#include <filesystem>

#include "host_session.h"

namespace nebrin::host {

std::filesystem::path MachineFile(const HostOptions& options);
void AddMachineCommands(CLI::App& app, HostOptions& options);

}  // namespace nebrin::host
