#include <memory>

#include "nebrin/platform_install.h"
#include "platform/sim/machine.h"
#include "script_file.h"

namespace nebrin::host {

std::optional<std::string> ReadScriptFile() {
  auto machine = std::dynamic_pointer_cast<sim::Machine>(InstalledPlatform());
  if (!machine) return std::nullopt;
  const auto& files = machine->file_state().files;
  for (const auto& [path, bytes] : files) {
    // The name as the library creates it, in the host's working directory.
    if (path == machine->process_state().currentDirectory + "\\ip.txt") return bytes;
  }
  return std::nullopt;
}

std::vector<std::string> NetworkShellOutput() {
  auto machine = std::dynamic_pointer_cast<sim::Machine>(InstalledPlatform());
  if (!machine) return {};
  return machine->process_state().shellOutput;
}

}  // namespace nebrin::host
