// The long waits of a profile application, said as each one starts. ApplySelectProfile makes
// every step in one call, so on Linux the host installs a platform that passes every call through
// to the one in force and notices the calls that begin a wait: the first look at the service list
// (the wait for the wireless configuration service), the start of the network shell and the start
// of the ad hoc tool.
#pragma once

#include <functional>
#include <string>

namespace nebrin::host {

enum class ApplyWait {
  WirelessService,  // polling until WZCSVC runs, up to two minutes
  NetworkShell,     // the shell on the address script, then until no netsh.exe runs
  AdHocTool,        // Tamsel.exe, up to five minutes
};

// Runs `run` with the watching platform installed, calling `say` as each wait starts with the
// wait and, for a program, the command line it was started with; puts the previous platform back
// afterwards. Returns what `run` returned.
int WatchApplyWaits(const std::function<int()>& run,
                    const std::function<void(ApplyWait, const std::string&)>& say);

// False where the host cannot put a platform under the library (Windows: the DLL keeps its own);
// there WatchApplyWaits only runs `run` and says nothing.
bool CanWatchApplyWaits();

}  // namespace nebrin::host
