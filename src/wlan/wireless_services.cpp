// Control of the wireless configuration service and the companion driver's service: stop, start
// and interrogate through the service manager. None of them waits for a state to settle.
#include "NebrinCoreDll.h"
#include "frame/no_throw.h"
#include "platform/platform.h"
#include "platform/service_handle.h"
#include "wlan/service_status.h"

namespace nebrin::wlan {
namespace {

using platform::Status;
using platform::UniqueServiceHandle;

// Opens the active database and one service in it, both with all access.
Status OpenActiveService(std::u16string_view name, UniqueServiceHandle& manager,
                         UniqueServiceHandle& service) {
  platform::ServiceManager& services = platform::Current().serviceManager();
  if (Status error = services.OpenManager(platform::kServicesActiveDatabase,
                                          platform::kScManagerAllAccess, manager.receive())) {
    return error;
  }
  return services.Open(manager.get(), name, platform::kServiceAllAccess, service.receive());
}

}  // namespace
}  // namespace nebrin::wlan

int CWLanControl::StartPDService() {
  using namespace nebrin;
  return frame::Guarded(wlan::kOutOfMemoryStatus, [] {
    platform::ServiceManager& services = platform::Current().serviceManager();
    platform::UniqueServiceHandle manager(services);
    platform::UniqueServiceHandle service(services);
    if (platform::Status error =
            wlan::OpenActiveService(wlan::kProtocolDriverService, manager, service)) {
      return wlan::ErrorStatus(error);
    }
    const platform::Status started = services.Start(service.get());
    if (started == platform::kSuccess) return 0;
    if (started == platform::kServiceAlreadyRunning) return 1;
    return wlan::ErrorStatus(started);
  });
}

int CWLanControl::StopWZCService() {
  using namespace nebrin;
  return frame::Guarded(wlan::kOutOfMemoryStatus, [this] {
    platform::ServiceManager& services = platform::Current().serviceManager();
    platform::UniqueServiceHandle manager(services);
    platform::UniqueServiceHandle service(services);
    if (platform::Status error =
            wlan::OpenActiveService(wlan::kWirelessConfigService, manager, service)) {
      return wlan::ErrorStatus(error);
    }
    platform::ServiceStatus status;
    const platform::Status asked =
        services.Control(service.get(), platform::kControlInterrogate, status);
    if (asked == platform::kServiceNotActive) {
      bWZCStopped = 0;
      return 0;
    }
    if (asked != platform::kSuccess) return wlan::ErrorStatus(asked);
    if (status.currentState == platform::kStateRunning) {
      // Recorded before the stop is sent: a failed stop still leaves the flag set.
      bWZCStopped = -1;
      platform::ServiceStatus stopping;
      if (platform::Status error =
              services.Control(service.get(), platform::kControlStop, stopping)) {
        return wlan::ErrorStatus(error);
      }
    }
    return 0;
  });
}

int CWLanControl::StartWZCService() {
  using namespace nebrin;
  return frame::Guarded(wlan::kOutOfMemoryStatus, [] {
    platform::ServiceManager& services = platform::Current().serviceManager();
    platform::UniqueServiceHandle manager(services);
    platform::UniqueServiceHandle service(services);
    if (platform::Status error =
            wlan::OpenActiveService(wlan::kWirelessConfigService, manager, service)) {
      return wlan::ErrorStatus(error);
    }
    platform::ServiceStatus status;
    const platform::Status asked =
        services.Control(service.get(), platform::kControlInterrogate, status);
    if (asked == platform::kSuccess) return 0;  // it answers: it is active
    if (asked != platform::kServiceNotActive) return wlan::ErrorStatus(asked);
    if (platform::Status error = services.Start(service.get())) {
      return wlan::ErrorStatus(error);
    }
    return 0;
  });
}
