// Reading back the address script the library wrote in the working directory: from the
// simulated machine's files on Linux, from the real file on Windows.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace nebrin::host {

// The bytes of "ip.txt" in the working directory of the installed platform, if it exists.
std::optional<std::string> ReadScriptFile();

// What the network shell reported so far (the simulated shell's output; empty on Windows, where
// the shell runs hidden and its output is not kept).
std::vector<std::string> NetworkShellOutput();

}  // namespace nebrin::host
