#include "platform/win32/win32_device_io.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace nebrin::platform::win32 {
namespace {

HANDLE ToHandle(DeviceHandle device) { return reinterpret_cast<HANDLE>(device); }
Status LastError() { return static_cast<Status>(GetLastError()); }

}  // namespace

Status Win32DeviceIo::OpenDevice(std::u16string_view path, Disposition disposition,
                                 DeviceHandle& device) {
  const std::wstring name = ToWin(path);
  HANDLE handle = CreateFileW(
      name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
      disposition == Disposition::CreateAlways ? CREATE_ALWAYS : OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return LastError();
  device = reinterpret_cast<DeviceHandle>(handle);
  return kSuccess;
}

Status Win32DeviceIo::Control(DeviceHandle device, std::uint32_t code,
                              const std::vector<std::uint8_t>& input) {
  DWORD returned = 0;
  // The requests carry input only; the input buffer is not written.
  void* buffer = input.empty() ? nullptr : const_cast<std::uint8_t*>(input.data());
  const BOOL done =
      DeviceIoControl(ToHandle(device), code, buffer, static_cast<DWORD>(input.size()), nullptr, 0,
                      &returned, nullptr);
  return done ? kSuccess : LastError();
}

Status Win32DeviceIo::CloseDevice(DeviceHandle device) {
  return CloseHandle(ToHandle(device)) ? kSuccess : LastError();
}

}  // namespace nebrin::platform::win32
