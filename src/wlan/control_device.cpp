#include "wlan/control_device.h"

#include "platform/platform.h"
#include "wlan/driver_requests.h"
#include "wlan/service_status.h"

namespace nebrin::wlan {

int OpenControlDevice(CWLanControl& wlan, platform::Disposition disposition,
                      platform::UniqueDevice& device) {
  platform::DeviceIo& devices = platform::Current().deviceIo();
  platform::Status opened = devices.OpenDevice(kControlDevicePath, disposition, device.receive());
  if (opened == platform::kSuccess) return 0;
  if (opened != platform::kFileNotFound) return ErrorStatus(opened);
  // The driver is installed but does not run: start it once and open once more.
  const int started = wlan.StartPDService();
  if (started < 0) return started;
  opened = devices.OpenDevice(kControlDevicePath, disposition, device.receive());
  return opened == platform::kSuccess ? 0 : ErrorStatus(opened);
}

}  // namespace nebrin::wlan
