// Choosing the platform the library runs against. A host or a test installs a platform (for
// example a simulated Windows machine) before it calls any member; without one the library uses
// the build's own platform.
#pragma once

#include <memory>

#include "NebrinCoreDll.h"

namespace nebrin::platform {
class Platform;
}

namespace nebrin {

// Makes `platform` the one every member uses until another is installed. Installing null returns
// to the build's own platform.
NEBRIN_API void InstallPlatform(std::shared_ptr<platform::Platform> platform);

// The platform in force now (never null).
NEBRIN_API std::shared_ptr<platform::Platform> InstalledPlatform();

}  // namespace nebrin
