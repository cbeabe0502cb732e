// One writer of the profile store at a time, across the processes of the user's session: every
// member that changes the store holds the session's named mutex while it reads what it needs and
// writes. Readers do not take it: the writers order their writes so that the store reads well at
// every point (docs/architecture.md, "Writing the store").
#pragma once

#include <cstdint>

#include "platform/mutexes.h"
#include "platform/platform.h"

namespace nebrin::store {

// "Local\" keeps the mutex to the session, as the store under HKEY_CURRENT_USER is the user's.
inline constexpr char16_t kStoreMutexName[] = u"Local\\Corvane.Nebrin.ProfileStore";
// How long a writer waits for another writer before it gives up, having changed nothing. The
// longest holder is a deletion of a large store, which takes seconds.
inline constexpr std::uint32_t kStoreLockWait = 60000;
// The lease refresh writes while a profile loads; it waits less and leaves the store as it was
// when another writer keeps it busy, so that loading is never held up for long.
inline constexpr std::uint32_t kLeaseLockWait = 1000;

// Takes the store's mutex for the lifetime of the object. Each member takes it once: the steps
// members share run inside, without taking it again (each taking costs a round trip to the
// system, four per member). A mutex whose holder
// ended without releasing it is taken over: what the holder left is what a crash leaves, which
// readers and writers already pass over.
class StoreWriteLock {
 public:
  explicit StoreWriteLock(platform::Platform& platform, std::uint32_t wait = kStoreLockWait);
  ~StoreWriteLock();
  StoreWriteLock(const StoreWriteLock&) = delete;
  StoreWriteLock& operator=(const StoreWriteLock&) = delete;

  // False when the mutex could not be opened or taken in time: the writer then changes nothing.
  // A mutex another user of the session made is opened with the rights to wait and release only;
  // made with the default security descriptor (its creator, SYSTEM and administrators), even
  // those are refused, and every writer answers 0 until that user's programs have ended.
  bool held() const { return held_; }

 private:
  platform::Mutexes& mutexes_;
  platform::MutexHandle mutex_ = platform::kNoMutex;
  bool held_ = false;
};

}  // namespace nebrin::store
