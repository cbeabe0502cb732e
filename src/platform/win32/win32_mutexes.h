// Named mutexes through the system's own calls.
#pragma once

#include "platform/mutexes.h"

namespace nebrin::platform::win32 {

class Win32Mutexes final : public Mutexes {
 public:
  Status Create(const std::u16string& name, MutexHandle& mutex) override;
  std::uint32_t Wait(MutexHandle mutex, std::uint32_t milliseconds, Status& error) override;
  Status Release(MutexHandle mutex) override;
  void Close(MutexHandle mutex) override;
};

}  // namespace nebrin::platform::win32
