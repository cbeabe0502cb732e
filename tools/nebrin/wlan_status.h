// `nebrin wlan status`: the 802.11 state the driver's requests left on each wireless adapter. The
// requests only set values, so the state can be shown for the simulated machine only.
#pragma once

#include "host_session.h"

namespace nebrin::host {

void ShowWlanStatus(const HostOptions& options);

}  // namespace nebrin::host
