#include "platform/win32/win32_system_info.h"

#include <windows.h>

#include <cwchar>

#include "platform/win32/wide_text.h"

namespace nebrin::platform::win32 {

Status Win32SystemInfo::GetVersion(OsVersion& version) {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!GetVersionExW(&info)) return static_cast<Status>(GetLastError());
  version.major = info.dwMajorVersion;
  version.minor = info.dwMinorVersion;
  version.build = info.dwBuildNumber;
  version.platformId = info.dwPlatformId;
  version.servicePack = FromWin(
      {info.szCSDVersion, wcsnlen(info.szCSDVersion, std::size(info.szCSDVersion))});
  return kSuccess;
}

int Win32SystemInfo::GetSystemMetric(int index) { return GetSystemMetrics(index); }

std::uint32_t Win32SystemInfo::AnsiCodePage() { return GetACP(); }

std::uint32_t Win32SystemInfo::OemCodePage() { return GetOEMCP(); }

std::uint32_t Win32SystemInfo::CurrentProcessId() { return GetCurrentProcessId(); }

}  // namespace nebrin::platform::win32
