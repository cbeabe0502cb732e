// Choosing the platform the library runs against, for Linux hosts and tests. A host or a test
// installs a platform (for example a simulated Windows machine) before it calls any member;
// without one the library uses the build's own platform.
//
// The Windows DLL does not export these functions: a process that loads it must not be able to
// swap the library's registry, process and other services for its own.
#pragma once

#include <memory>

#include "NebrinCoreDll.h"

#if defined(_WIN32)
#if !defined(NEBRINCOREDLL_BUILD)
#error "NebrinCoreDll.dll does not export the platform installation; it is for Linux hosts and tests"
#endif
#define NEBRIN_PLATFORM_INSTALL_API
#else
#define NEBRIN_PLATFORM_INSTALL_API NEBRIN_API
#endif

namespace nebrin::platform {
class Platform;
}

namespace nebrin {

// Makes `platform` the one every member uses until another is installed. Installing null returns
// to the build's own platform.
NEBRIN_PLATFORM_INSTALL_API void InstallPlatform(std::shared_ptr<platform::Platform> platform);

// The platform in force now (never null).
NEBRIN_PLATFORM_INSTALL_API std::shared_ptr<platform::Platform> InstalledPlatform();

}  // namespace nebrin
