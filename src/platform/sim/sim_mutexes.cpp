#include "platform/sim/sim_mutexes.h"

#include <new>

#include "platform/sim/machine_state.h"
#include "platform/sim/sim_text.h"

namespace nebrin::sim {

using platform::kInvalidHandle;
using platform::kSuccess;

Status SimMutexes::Create(const std::u16string& name, platform::MutexHandle& mutex) {
  mutex = platform::kNoMutex;
  try {
    if (Status fault = machine_.accounting.Enter(Service::Mutexes)) return fault;
    const std::string key = Utf16ToUtf8(name);
    const auto refused = machine_.mutexes.refusals.find(key);
    // Another user's mutex that grants this user the rights to wait and release is opened with
    // those, as the Win32 seam falls back to when full access is refused.
    if (refused != machine_.mutexes.refusals.end() &&
        refused->second != NamedObjectRefusal::FullAccessDenied) {
      return refused->second == NamedObjectRefusal::OtherKind ? kInvalidHandle
                                                              : platform::kAccessDenied;
    }
    machine_.mutexes.mutexes.try_emplace(key);
    const platform::MutexHandle handle = next_;
    handles_.emplace(handle, key);
    next_ += 4;  // handles are never reused, so a closed one stays invalid
    mutex = handle;
    return kSuccess;
  } catch (const std::bad_alloc&) {
    return platform::kNotEnoughMemory;
  }
}

std::uint32_t SimMutexes::Wait(platform::MutexHandle mutex, std::uint32_t milliseconds,
                               Status& error) {
  error = kSuccess;
  if (Status fault = machine_.accounting.Enter(Service::Mutexes)) {
    error = fault;
    return platform::kWaitFailed;
  }
  const auto handle = handles_.find(mutex);
  if (handle == handles_.end()) {
    error = kInvalidHandle;
    return platform::kWaitFailed;
  }
  NamedMutex& named = machine_.mutexes.mutexes[handle->second];
  switch (named.holder) {
    case MutexHolder::Host:
      ++named.recursion;
      return platform::kWaitObject0;
    case MutexHolder::None:
    case MutexHolder::Abandoned: {
      const bool abandoned = named.holder == MutexHolder::Abandoned;
      named.holder = MutexHolder::Host;
      named.recursion = 1;
      if (machine_.mutexes.takenObserver) machine_.mutexes.takenObserver(handle->second);
      return abandoned ? platform::kWaitAbandoned : platform::kWaitObject0;
    }
    case MutexHolder::OtherProcess:
      break;
  }
  // The other process keeps it for the whole wait. (On Windows an endless wait would never
  // return; nothing here waits without a time-out.)
  machine_.tickCount += milliseconds;
  return platform::kWaitTimeout;
}

Status SimMutexes::Release(platform::MutexHandle mutex) {
  if (Status fault = machine_.accounting.Enter(Service::Mutexes)) return fault;
  const auto handle = handles_.find(mutex);
  if (handle == handles_.end()) return kInvalidHandle;
  NamedMutex& named = machine_.mutexes.mutexes[handle->second];
  if (named.holder != MutexHolder::Host) return platform::kNotOwner;
  if (--named.recursion == 0) named.holder = MutexHolder::None;
  return kSuccess;
}

// Closing a handle does not release the mutex: the thread keeps it until it releases it or ends.
void SimMutexes::Close(platform::MutexHandle mutex) { handles_.erase(mutex); }

}  // namespace nebrin::sim
