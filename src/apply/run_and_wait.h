// Running an external program and waiting for it, and the network shell on the address script.
#pragma once

#include <cstdint>
#include <string_view>

namespace nebrin::apply {

// Starts `application` (a full path) with `commandLine`, hidden, in the caller's current
// directory, and waits up to `timeoutMs` for it to end; how the wait ends and the exit code are
// not examined. False when the program could not be started.
bool RunAndWait(std::u16string_view application, std::u16string_view commandLine,
                std::uint32_t timeoutMs);

inline constexpr std::u16string_view kScriptCommandLine = u"netsh -f ip.txt";

// Runs the network shell with `commandLine` ("netsh -f ip.txt" unless a caller gives its own
// spelling of it) and waits for it without limit. The shell is started from the system directory
// by its full path, so a "netsh.exe" in the current directory or beside the host is never run.
// False when it could not be started.
bool RunNetworkShell(std::u16string_view commandLine = kScriptCommandLine);

}  // namespace nebrin::apply
