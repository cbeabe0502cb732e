// RAII ownership of service-manager and service handles.
#pragma once

#include <utility>

#include "platform/service_manager.h"

namespace nebrin::platform {

// Owns one handle of a ServiceManager and closes it when it goes out of scope.
class UniqueServiceHandle {
 public:
  explicit UniqueServiceHandle(ServiceManager& services) : services_(&services) {}
  ~UniqueServiceHandle() { reset(); }
  UniqueServiceHandle(UniqueServiceHandle&& other) noexcept
      : services_(other.services_), handle_(std::exchange(other.handle_, kNoService)) {}
  UniqueServiceHandle& operator=(UniqueServiceHandle&& other) noexcept {
    if (this != &other) {
      reset();
      services_ = other.services_;
      handle_ = std::exchange(other.handle_, kNoService);
    }
    return *this;
  }
  UniqueServiceHandle(const UniqueServiceHandle&) = delete;
  UniqueServiceHandle& operator=(const UniqueServiceHandle&) = delete;

  ServiceHandle get() const { return handle_; }
  explicit operator bool() const { return handle_ != kNoService; }
  // Closes what is held and hands out the slot for a call to fill.
  ServiceHandle& receive() {
    reset();
    return handle_;
  }
  void reset() {
    if (handle_ != kNoService) services_->CloseHandle(std::exchange(handle_, kNoService));
  }

 private:
  ServiceManager* services_;
  ServiceHandle handle_ = kNoService;
};

}  // namespace nebrin::platform
