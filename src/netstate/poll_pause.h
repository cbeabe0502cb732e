// The pause between two scans of the process list while the library waits for the network shell
// to end: short enough not to delay the answer noticeably, long enough that the wait costs
// almost no processor time.
#pragma once

#include <cstdint>

#include "NebrinCoreDll.h"
#include "frame/shared_objects.h"

namespace nebrin::netstate {

inline constexpr std::uint32_t kPollPauseMs = 25;

// Blocks until no process named "netsh.exe" runs, pausing kPollPauseMs between scans; asks
// `manage`'s CheckOSStatus (the object the waiting member runs on).
void WaitUntilNoNetworkShell(CNetInfoManage& manage = frame::SharedManage());

}  // namespace nebrin::netstate
