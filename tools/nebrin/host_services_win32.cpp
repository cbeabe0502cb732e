#include "host_services.h"

#include <memory>

namespace nebrin::host {

platform::Platform& HostServices() {
  static const std::shared_ptr<platform::Platform> services = platform::MakeDefaultPlatform();
  return *services;
}

}  // namespace nebrin::host
