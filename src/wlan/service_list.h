// The Win32 services of the default service database, as the detection members enumerate them.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/service_manager.h"

namespace nebrin::wlan {

// Lists the Win32 services (own and shared process) in one state class (kStateActive,
// kStateInactive or kStateAll), opening the default database with all access. The size query
// comes first; when services were added after it and the fill answers ERROR_MORE_DATA, the fill is
// asked again with room for them. False when the database cannot be opened or the list cannot
// be had.
bool ListWin32Services(std::uint32_t stateClass, std::vector<platform::ServiceEntry>& entries);

}  // namespace nebrin::wlan
