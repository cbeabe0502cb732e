#include <memory>
#include <vector>

#include "host_paths.h"
#include "machine_commands.h"
#include "nebrin/platform_install.h"
#include "platform/sim/machine.h"
#include "platform/sim/sim_processes.h"

namespace nebrin::host {
namespace {

// "." and ".." taken out of a backslash-separated path, as GetFullPathNameW does; ".." never
// goes above the first part (the drive).
std::string WithoutDots(const std::string& path) {
  if (path.rfind("\\\\", 0) == 0) return path;  // a share's path is left to its server
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = path.find('\\', start);
    const std::string part = path.substr(start, end - start);
    if (part == "..") {
      if (parts.size() > 1) parts.pop_back();
    } else if (part != "." && !(part.empty() && !parts.empty() && end != std::string::npos)) {
      parts.push_back(part);
    }
    if (end == std::string::npos) break;
    start = end + 1;
  }
  std::string joined;
  for (std::size_t i = 0; i < parts.size(); ++i) joined += (i == 0 ? "" : "\\") + parts[i];
  return joined;
}

}  // namespace

// The copy belongs to the machine it was applied to: "machine.json" keeps it in
// "machine.applied-profile.json" beside it.
std::filesystem::path AppliedProfileFile(const HostOptions& options) {
  std::filesystem::path file = MachineFile(options);
  file.replace_extension(".applied-profile.json");
  return file;
}

std::string FullPath(const std::string& typed) {
  auto machine = std::dynamic_pointer_cast<sim::Machine>(InstalledPlatform());
  if (!machine || typed.empty()) return typed;
  return WithoutDots(sim::ResolvePath(machine->process_state().currentDirectory, typed));
}

}  // namespace nebrin::host
