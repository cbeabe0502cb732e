// The system information service over GetVersionExW, GetSystemMetrics and the code-page calls.
#pragma once

#include "platform/system_info.h"

namespace nebrin::platform::win32 {

class Win32SystemInfo final : public SystemInfo {
 public:
  Status GetVersion(OsVersion& version) override;
  int GetSystemMetric(int index) override;
  std::uint32_t AnsiCodePage() override;
  std::uint32_t OemCodePage() override;
  std::uint32_t CurrentProcessId() override;
};

}  // namespace nebrin::platform::win32
