// Opening the companion driver's control device, starting the driver's service once when the
// device is missing because the driver does not run.
#pragma once

#include "NebrinCoreDll.h"
#include "platform/device_io.h"

namespace nebrin::wlan {

// Opens "\\.\ORLPD" with read and write access and `disposition` into `device`. When the open
// fails with ERROR_FILE_NOT_FOUND, starts the driver's service with `wlan.StartPDService()` and
// opens once more. Returns 0, StartPDService's negative status, or HRESULT_FROM_WIN32 of the
// open's error.
int OpenControlDevice(CWLanControl& wlan, platform::Disposition disposition,
                      platform::UniqueDevice& device);

}  // namespace nebrin::wlan
