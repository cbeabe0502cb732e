// The command line as UTF-8 text. On Windows it is taken from the system in UTF-16
// (GetCommandLineW), so a name in any language arrives as typed, not through the ANSI code page.
#pragma once

#include <string>
#include <vector>

namespace nebrin::host {

std::vector<std::string> CommandLineUtf8(int argc, char** argv);

}  // namespace nebrin::host
