// Device I/O over CreateFileW, DeviceIoControl and CloseHandle.
#pragma once

#include "platform/device_io.h"

namespace nebrin::platform::win32 {

class Win32DeviceIo final : public DeviceIo {
 public:
  Status OpenDevice(std::u16string_view path, Disposition disposition,
                    DeviceHandle& device) override;
  Status Control(DeviceHandle device, std::uint32_t code,
                 const std::vector<std::uint8_t>& input) override;
  Status CloseDevice(DeviceHandle device) override;
};

}  // namespace nebrin::platform::win32
