#include <fstream>
#include <iterator>

#include "script_file.h"

namespace nebrin::host {

std::optional<std::string> ReadScriptFile() {
  std::ifstream in("ip.txt", std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> NetworkShellOutput() { return {}; }

}  // namespace nebrin::host
