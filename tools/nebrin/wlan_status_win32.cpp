#include "host_profile.h"
#include "wlan_status.h"

namespace nebrin::host {

void ShowWlanStatus(const HostOptions&) {
  throw Refusal(
      "the 802.11 state is shown for the simulated machine only: the driver's requests set "
      "values and read none back");
}

}  // namespace nebrin::host
