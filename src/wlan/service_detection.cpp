// Whether the wireless configuration service runs or is stopped, and whether the product's
// wireless service is registered, from the service manager's list of Win32 services.
#include <vector>

#include "NebrinCoreDll.h"
#include "frame/no_throw.h"
#include "wlan/service_list.h"
#include "wlan/service_status.h"

int CWLanControl::CheckWZCStatus(int state) {
  using namespace nebrin;
  return frame::Guarded(0, [state] {
    const bool askRunning = state != 0;
    std::vector<platform::ServiceEntry> entries;
    if (!wlan::ListWin32Services(askRunning ? platform::kStateActive : platform::kStateInactive,
                                 entries)) {
      return 0;
    }
    const std::uint32_t wanted = askRunning ? platform::kStateRunning : platform::kStateStopped;
    for (const platform::ServiceEntry& entry : entries) {
      if (entry.serviceName == wlan::kWirelessConfigService &&
          entry.status.currentState == wanted) {
        return 1;
      }
    }
    return 0;
  });
}

int CWLanControl::CheckNebrinWLANStatus() {
  using namespace nebrin;
  return frame::Guarded(0, [] {
    std::vector<platform::ServiceEntry> entries;
    if (!wlan::ListWin32Services(platform::kStateAll, entries)) return 0;
    for (const platform::ServiceEntry& entry : entries) {
      if (entry.serviceName == wlan::kProductService) return 1;
    }
    return 0;
  });
}
