// Names of the services the wireless members manage, and the status values of the members that
// answer a long status.
#pragma once

#include <string_view>

#include "platform/hresult.h"
#include "platform/status.h"

namespace nebrin::wlan {

// The system's wireless configuration service.
inline constexpr std::u16string_view kWirelessConfigService = u"WZCSVC";
// The companion protocol driver's service.
inline constexpr std::u16string_view kProtocolDriverService = u"ORLPD";
// The product's own wireless service.
inline constexpr std::u16string_view kProductService = u"NebrinWLANService";
inline constexpr std::u16string_view kProductServiceDisplayName = u"Nebrin WLAN Service";

// A failed system call as the long-status members answer it: HRESULT_FROM_WIN32 of its error.
inline int ErrorStatus(platform::Status error) { return platform::HResultFromWin32(error); }

// What a long-status member answers when it runs out of memory.
inline constexpr int kOutOfMemoryStatus = platform::kEOutOfMemory;

}  // namespace nebrin::wlan
