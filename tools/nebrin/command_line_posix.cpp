#include "command_line.h"

namespace nebrin::host {

// Linux passes the arguments as the bytes typed (UTF-8 in a UTF-8 locale).
std::vector<std::string> CommandLineUtf8(int argc, char** argv) { return {argv, argv + argc}; }

}  // namespace nebrin::host
