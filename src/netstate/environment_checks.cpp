// Environment checks: whether the address script must be written in the OEM code page, and
// whether a process with a given executable name runs.
#include <cstdint>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "frame/no_throw.h"
#include "frame/record_text.h"
#include "platform/platform.h"
#include "platform/process_handle.h"

namespace nebrin::netstate {
namespace {

constexpr std::uint32_t kNtPlatform = 2;  // VER_PLATFORM_WIN32_NT
// The module name buffer, in characters, terminator included.
constexpr std::uint32_t kNameBuffer = 260;

// Whether one process's first module has exactly the base name `wanted`. A process that cannot
// be opened, or whose module or name cannot be read, never matches.
bool HasBaseName(platform::Processes& processes, std::uint32_t id, const std::u16string& wanted) {
  platform::ProcessHandle opened = platform::kNoProcess;
  if (processes.OpenProcess(platform::kProcessQueryInformation | platform::kProcessVmRead, id,
                            opened) != platform::kSuccess) {
    return false;
  }
  platform::UniqueProcessHandle process(processes, opened);
  platform::ModuleHandle module = 0;
  if (processes.FirstModule(process.get(), module) != platform::kSuccess) return false;
  std::u16string name;
  if (processes.ModuleBaseName(process.get(), module, kNameBuffer, name) != platform::kSuccess) {
    return false;
  }
  return name == wanted;
}

}  // namespace
}  // namespace nebrin::netstate

int CNetInfoManage::GetOSVer() {
  return nebrin::frame::Guarded(0, [&] {
    using namespace nebrin;
    platform::SystemInfo& system = platform::Current().system();
    platform::OsVersion version;
    if (system.GetVersion(version) != platform::kSuccess) return 0;
    if (version.platformId != netstate::kNtPlatform || version.major != 5 || version.minor != 1) {
      return 0;
    }
    const bool tablet = system.GetSystemMetric(platform::kMetricTabletPc) != 0;
    const std::uint32_t oem = system.OemCodePage();
    if (oem == 852) return 1;
    return tablet && oem == 866 ? 1 : 0;
  });
}

int CNetInfoManage::CheckOSStatus(NebrinChar* processName) {
  return nebrin::frame::Guarded(0, [&] {
    using namespace nebrin;
    if (processName == nullptr) return 0;
    const std::u16string wanted = frame::ParamText(processName);
    platform::Processes& processes = platform::Current().processes();
    std::vector<std::uint32_t> ids;
    if (processes.EnumerateProcesses(ids) != platform::kSuccess) return 0;
    for (const std::uint32_t id : ids) {
      if (netstate::HasBaseName(processes, id, wanted)) return 1;
    }
    return 0;
  });
}
