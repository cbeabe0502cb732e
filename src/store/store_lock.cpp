#include "store/store_lock.h"

namespace nebrin::store {

StoreWriteLock::StoreWriteLock(platform::Platform& platform, std::uint32_t wait)
    : mutexes_(platform.mutexes()) {
  if (mutexes_.Create(kStoreMutexName, mutex_) != platform::kSuccess) return;
  platform::Status error = platform::kSuccess;
  const std::uint32_t waited = mutexes_.Wait(mutex_, wait, error);
  held_ = waited == platform::kWaitObject0 || waited == platform::kWaitAbandoned;
}

StoreWriteLock::~StoreWriteLock() {
  if (held_) mutexes_.Release(mutex_);  // cannot fail for the thread that holds it
  if (mutex_ != platform::kNoMutex) mutexes_.Close(mutex_);
}

}  // namespace nebrin::store
