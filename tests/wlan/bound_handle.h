// Running a request on a driver handle bound to the demo machine's wireless adapter, as a host
// does.
#pragma once

#include "NebrinCoreDll.h"
#include "platform/platform.h"

namespace nebrin::testing {

// Opens a handle bound to the demo machine's wireless adapter, runs `request` on it and closes the
// handle as the host does; the open's failure when it fails. It allocates nothing of its own, so
// the allocation sweep can run it.
template <typename Request>
int OnBoundHandle(Request request) {
  NebrinChar adapter[] = {'{', 'A', '3', 'C', '5', 'E', '7', 'F', '9', '-', '1', 'B', '2',
                          'D', '-', '4', 'F', '6', '0', '-', '8', 'A', '9', 'C', '-', '0',
                          'E', '1', 'F', '2', 'A', '3', 'B', '4', 'C', '5', 'D', '}', 0};
  CWLanControl wlan;
  NebrinHandle device = nullptr;
  const int opened = wlan.OpenDevice(adapter, device);
  if (opened != 0) return opened;
  const int result = request(device);
  platform::Current().deviceIo().CloseDevice(reinterpret_cast<platform::DeviceHandle>(device));
  return result;
}

}  // namespace nebrin::testing
