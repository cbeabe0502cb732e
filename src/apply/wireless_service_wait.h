// Waiting for the wireless configuration service to run once profile application has asked it to
// start.
#pragma once

#include <cstdint>

#include "NebrinCoreDll.h"

namespace nebrin::apply {

inline constexpr std::uint32_t kWirelessServiceWaitMs = 120000;

// Asks `wlan`'s CheckWZCStatus(1) until it answers nonzero or until, after an answer, more than
// kWirelessServiceWaitMs have passed on the platform's tick count since the wait began (an
// unsigned difference, so a wrap of the counter does no harm). Pauses between two answers. The
// wait ends either way; the caller goes on whether the service runs or not.
void WaitForWirelessService(CWLanControl& wlan);

}  // namespace nebrin::apply
