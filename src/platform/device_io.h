// Device I/O: opening a driver's control device, synchronous device requests with input bytes
// only, and closing the device handle (CreateFileW, DeviceIoControl, CloseHandle). Every call
// answers the thread's last error, or kSuccess.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/status.h"

namespace nebrin::platform {

// An open device handle: the system's handle value. 0 is no handle; the invalid-handle value
// (all bits set) is never handed out.
using DeviceHandle = std::uintptr_t;
inline constexpr DeviceHandle kNoDevice = 0;
inline constexpr DeviceHandle kInvalidDevice = ~DeviceHandle{0};  // INVALID_HANDLE_VALUE

// Errors a driver's requests answer with.
inline constexpr Status kInvalidFunction = 1;        // ERROR_INVALID_FUNCTION
inline constexpr Status kNotReady = 21;              // ERROR_NOT_READY
inline constexpr Status kBusy = 170;                 // ERROR_BUSY
inline constexpr Status kDeviceNotConnected = 1167;  // ERROR_DEVICE_NOT_CONNECTED

class DeviceIo {
 public:
  virtual ~DeviceIo() = default;

  // CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, no
  // security attributes, disposition, no flags, no template).
  virtual Status OpenDevice(std::u16string_view path, Disposition disposition,
                            DeviceHandle& device) = 0;
  // DeviceIoControl(device, code, input, input size, no output buffer, 0, &returned, not
  // overlapped). An empty input passes no buffer.
  virtual Status Control(DeviceHandle device, std::uint32_t code,
                         const std::vector<std::uint8_t>& input) = 0;
  // CloseHandle of a device handle.
  virtual Status CloseDevice(DeviceHandle device) = 0;
};

// Owns one open device handle and closes it when it goes out of scope, unless it was handed on.
class UniqueDevice {
 public:
  explicit UniqueDevice(DeviceIo& devices) : devices_(&devices) {}
  ~UniqueDevice() { reset(); }
  UniqueDevice(const UniqueDevice&) = delete;
  UniqueDevice& operator=(const UniqueDevice&) = delete;

  DeviceHandle get() const { return device_; }
  explicit operator bool() const { return device_ != kNoDevice; }
  // Closes what is held and hands out the slot for a call to fill.
  DeviceHandle& receive() {
    reset();
    return device_;
  }
  // Gives up ownership without closing (the handle passes to the caller).
  DeviceHandle release() { return std::exchange(device_, kNoDevice); }
  void reset() {
    const DeviceHandle device = std::exchange(device_, kNoDevice);
    if (device != kNoDevice && device != kInvalidDevice) devices_->CloseDevice(device);
  }

 private:
  DeviceIo* devices_;
  DeviceHandle device_ = kNoDevice;
};

}  // namespace nebrin::platform
