// Whether the companion driver's control device can be opened, starting the driver's service once
// when it is installed but does not run.
#include "NebrinCoreDll.h"
#include "frame/no_throw.h"
#include "platform/platform.h"
#include "wlan/control_device.h"

int CWLanControl::CheckPDDriverExist() {
  using namespace nebrin;
  return frame::Guarded(0, [this] {
    platform::UniqueDevice device(platform::Current().deviceIo());
    return wlan::OpenControlDevice(*this, platform::Disposition::OpenExisting, device) == 0 ? 1 : 0;
  });
}
