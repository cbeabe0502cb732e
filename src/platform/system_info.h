// System information service: version, system metrics, the active code pages and the process's
// identifier.
#pragma once

#include <cstdint>
#include <string>

#include "platform/status.h"

namespace nebrin::platform {

struct OsVersion {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;
  std::uint32_t platformId = 0;  // VER_PLATFORM_WIN32_NT is 2
  std::u16string servicePack;    // szCSDVersion
};

inline constexpr int kMetricTabletPc = 86;  // SM_TABLETPC

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;

  // GetVersionExW.
  virtual Status GetVersion(OsVersion& version) = 0;
  // GetSystemMetrics: 0 for an unknown index, as Windows answers.
  virtual int GetSystemMetric(int index) = 0;
  // GetACP / GetOEMCP.
  virtual std::uint32_t AnsiCodePage() = 0;
  virtual std::uint32_t OemCodePage() = 0;
  // GetCurrentProcessId.
  virtual std::uint32_t CurrentProcessId() = 0;
};

}  // namespace nebrin::platform
