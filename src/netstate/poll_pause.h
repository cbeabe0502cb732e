// The pause between two polls while the library waits for something outside it (the network
// shell to end, the wireless configuration service to run): short enough not to delay the answer
// noticeably, long enough that the wait costs almost no processor time.
#pragma once

#include <cstdint>

#include "NebrinCoreDll.h"
#include "frame/shared_objects.h"
#include "platform/platform.h"

namespace nebrin::netstate {

inline constexpr std::uint32_t kPollPauseMs = 25;

// One pause between two polls, on the platform's clock (the simulated machine's virtual clock
// passes it at once).
inline void PollPause() { platform::Current().clock().Sleep(kPollPauseMs); }

// Blocks until no process named "netsh.exe" runs, pausing between scans; asks `manage`'s
// CheckOSStatus (the object the waiting member runs on).
void WaitUntilNoNetworkShell(CNetInfoManage& manage = frame::SharedManage());

}  // namespace nebrin::netstate
