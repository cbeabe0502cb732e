// `nebrin printers` and `nebrin printer-wizard`.
#pragma once

#include "host_session.h"

namespace nebrin::host {

void AddPrinterCommands(CLI::App& app, HostOptions& options);

}  // namespace nebrin::host
