// RAII ownership of process and thread handles.
#pragma once

#include <utility>

#include "platform/processes.h"

namespace nebrin::platform {

// Owns one process or thread handle of a Processes service and closes it when it goes out of
// scope.
class UniqueProcessHandle {
 public:
  UniqueProcessHandle() = default;
  UniqueProcessHandle(Processes& processes, ProcessHandle handle)
      : processes_(&processes), handle_(handle) {}
  ~UniqueProcessHandle() { reset(); }
  UniqueProcessHandle(UniqueProcessHandle&& other) noexcept
      : processes_(other.processes_), handle_(std::exchange(other.handle_, kNoProcess)) {}
  UniqueProcessHandle& operator=(UniqueProcessHandle&& other) noexcept {
    if (this != &other) {
      reset();
      processes_ = other.processes_;
      handle_ = std::exchange(other.handle_, kNoProcess);
    }
    return *this;
  }
  UniqueProcessHandle(const UniqueProcessHandle&) = delete;
  UniqueProcessHandle& operator=(const UniqueProcessHandle&) = delete;

  ProcessHandle get() const { return handle_; }
  explicit operator bool() const { return handle_ != kNoProcess; }
  void reset() {
    if (handle_ != kNoProcess && processes_ != nullptr) processes_->CloseHandle(handle_);
    handle_ = kNoProcess;
  }

 private:
  Processes* processes_ = nullptr;
  ProcessHandle handle_ = kNoProcess;
};

}  // namespace nebrin::platform
