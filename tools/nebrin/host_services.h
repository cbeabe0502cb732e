// The operating-system services the host itself uses beside the library (listing the sharing
// manager's connections): on Linux the platform installed for the library (the simulated machine
// or Linux's own services); on Windows the real Win32 services, linked into the host, since the
// DLL keeps its own platform to itself.
#pragma once

#include "platform/platform.h"

namespace nebrin::host {

platform::Platform& HostServices();

}  // namespace nebrin::host
