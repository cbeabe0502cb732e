#include "host_services.h"

#include "nebrin/platform_install.h"

namespace nebrin::host {

platform::Platform& HostServices() { return *InstalledPlatform(); }

}  // namespace nebrin::host
