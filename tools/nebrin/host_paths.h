// Where the host keeps its own state, and paths made whole before the library gets them: on
// Linux beside the machine file and on the simulated machine, on Windows in the user's
// application data and in the real system.
#pragma once

#include <filesystem>
#include <string>

#include "host_session.h"

namespace nebrin::host {

// The file holding the copy of the profile the host applied last. Throws Refusal when the
// place is not known.
std::filesystem::path AppliedProfileFile(const HostOptions& options);

// A path for the library: a relative one made absolute from the host's current directory (on
// Linux, the simulated machine's). Needs the session open.
std::string FullPath(const std::string& typed);

}  // namespace nebrin::host
