#include "apply/wireless_service_wait.h"

#include "netstate/poll_pause.h"
#include "platform/platform.h"

namespace nebrin::apply {

// The service takes seconds to start; asking again without a pause would keep a core busy all
// that time for an answer that comes no sooner.
void WaitForWirelessService(CWLanControl& wlan) {
  platform::Clock& clock = platform::Current().clock();
  const std::uint32_t begun = clock.TickCount();
  for (;;) {
    if (wlan.CheckWZCStatus(1) != 0) return;
    if (static_cast<std::uint32_t>(clock.TickCount() - begun) > kWirelessServiceWaitMs) return;
    netstate::PollPause();
  }
}

}  // namespace nebrin::apply
