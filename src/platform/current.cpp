// The process-wide platform accessor.
#include <memory>
#include <utility>

#include "nebrin/platform_install.h"
#include "platform/platform.h"

namespace nebrin {
namespace {

// The installed platform. Hosts install it before they call members, from the thread that calls
// them; the library itself never changes it.
std::shared_ptr<platform::Platform>& Slot() {
  static std::shared_ptr<platform::Platform> slot;
  return slot;
}

}  // namespace

void InstallPlatform(std::shared_ptr<platform::Platform> installed) {
  Slot() = std::move(installed);
}

std::shared_ptr<platform::Platform> InstalledPlatform() {
  auto& slot = Slot();
  if (!slot) slot = platform::MakeDefaultPlatform();
  return slot;
}

namespace platform {

Platform& Current() {
  auto& slot = Slot();
  if (!slot) slot = MakeDefaultPlatform();
  return *slot;
}

}  // namespace platform
}  // namespace nebrin
