// The named mutexes of the simulated user session. The host's thread is the only thread of the
// machine; every other holder is another process. Names are case-sensitive, as object names are.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace nebrin::sim {

enum class MutexHolder {
  None,
  Host,          // the host's thread: it may wait again, and each wait needs a release
  OtherProcess,  // a process that keeps it: a wait by the host runs out its time-out
  Abandoned,     // its holder ended without releasing it: the next wait takes it over
};

struct NamedMutex {
  MutexHolder holder = MutexHolder::None;
  std::uint32_t recursion = 0;  // the host's waits not yet released
};

// What a name of the session's object namespace stands for besides a mutex.
enum class NamedObjectRefusal {
  OtherKind,  // an event or a semaphore of that name: ERROR_INVALID_HANDLE
  // Another user's mutex. Made with the default security descriptor (full access for its
  // creator, SYSTEM and administrators, none for anyone else), it keeps this user out entirely.
  AccessDenied,
  // Another user's mutex whose descriptor grants others only SYNCHRONIZE and MUTEX_MODIFY_STATE:
  // CreateMutexW (full access) is refused, OpenMutexW with those two rights is not.
  FullAccessDenied,
};

struct MutexState {
  std::map<std::string, NamedMutex> mutexes;           // by name (UTF-8)
  std::map<std::string, NamedObjectRefusal> refusals;  // names CreateMutexW is refused
  // Told the name when the host's thread takes a mutex it did not hold, before the wait returns:
  // a test plays another process that changed what the mutex guards just before releasing it.
  std::function<void(const std::string&)> takenObserver;
};

}  // namespace nebrin::sim
