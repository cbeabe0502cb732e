#include "wlan/service_list.h"

#include <limits>

#include "platform/platform.h"
#include "platform/service_handle.h"

namespace nebrin::wlan {
namespace {

// Fills asked with a larger buffer before the list is given up. Each retry means services were
// added while the list was taken; a system that keeps adding them would otherwise hold the caller.
constexpr int kFillAttempts = 8;

}  // namespace

bool ListWin32Services(std::uint32_t stateClass, std::vector<platform::ServiceEntry>& entries) {
  platform::ServiceManager& services = platform::Current().serviceManager();
  platform::UniqueServiceHandle manager(services);
  if (services.OpenManager(u"", platform::kScManagerAllAccess, manager.receive()) !=
      platform::kSuccess) {
    return false;
  }
  // Only the size matters here: the fill below decides whether the list was had.
  std::uint32_t needed = 0;
  services.QueryServicesSize(manager.get(), platform::kServiceWin32, stateClass, needed);
  std::uint32_t size = needed;
  for (int attempt = 1;; ++attempt) {
    const platform::Status listed = services.EnumerateServices(
        manager.get(), platform::kServiceWin32, stateClass, size, entries, needed);
    if (listed == platform::kSuccess) return true;
    // ERROR_MORE_DATA names the bytes of the entries that did not fit: ask again with room for
    // what came back and for them.
    if (listed != platform::kMoreData || needed == 0 || attempt == kFillAttempts ||
        needed > std::numeric_limits<std::uint32_t>::max() - size) {
      return false;
    }
    size += needed;
  }
}

}  // namespace nebrin::wlan
