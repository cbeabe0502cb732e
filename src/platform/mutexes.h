// Named mutexes: the lock Windows shares between the processes of one user's session, with the
// semantics of CreateMutexW, WaitForSingleObject, ReleaseMutex and CloseHandle. A mutex belongs to
// the thread that waited for it and may be taken again by that thread (each wait needs its own
// release); when its holder ends without releasing it, the next wait takes it over and answers
// kWaitAbandoned.
#pragma once

#include <cstdint>
#include <string>

#include "platform/processes.h"
#include "platform/status.h"

namespace nebrin::platform {

using MutexHandle = std::uintptr_t;
inline constexpr MutexHandle kNoMutex = 0;

// WaitForSingleObject's answers besides those of processes.h (kWaitObject0, kWaitTimeout,
// kWaitFailed).
inline constexpr std::uint32_t kWaitAbandoned = 0x080;  // WAIT_ABANDONED

class Mutexes {
 public:
  virtual ~Mutexes() = default;

  // CreateMutexW without security attributes and without taking it: opens the mutex of that name,
  // creating it when there is none. When full access to an existing mutex is refused, it opens it
  // again with only the rights to wait and release (OpenMutexW with SYNCHRONIZE and
  // MUTEX_MODIFY_STATE); kAccessDenied when even those are refused. kInvalidHandle when the name
  // belongs to another kind of object (an event, a semaphore).
  virtual Status Create(const std::u16string& name, MutexHandle& mutex) = 0;
  // WaitForSingleObject with a time-out in milliseconds; on kWaitFailed `error` holds the reason.
  virtual std::uint32_t Wait(MutexHandle mutex, std::uint32_t milliseconds, Status& error) = 0;
  // ReleaseMutex: kNotOwner when the calling thread does not hold the mutex.
  virtual Status Release(MutexHandle mutex) = 0;
  // CloseHandle.
  virtual void Close(MutexHandle mutex) = 0;
};

}  // namespace nebrin::platform
