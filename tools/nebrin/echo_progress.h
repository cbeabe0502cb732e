// Progress of an echo test as it runs. The library's Ping makes all its attempts in one call, so
// the host watches the calls it makes to the platform's sockets: it installs a platform that
// passes every call through to the one in force and reports each attempt when its outcome is
// known (reply, time-out, send failure). The verdict stays the library's.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace nebrin::host {

struct EchoAttempt {
  int number = 0;          // 1-based
  bool answered = false;
  std::string detail;      // "reply from 127.0.0.1 seq 0 in 0 ms", "no reply within 1 s", ...
};

// Runs `run` with the watching platform installed, calling `report` for each attempt as it ends;
// puts the previous platform back afterwards. Returns what `run` returned.
int WatchEchoAttempts(const std::function<int()>& run,
                      const std::function<void(const EchoAttempt&)>& report);

// False where the host cannot install a platform (Windows: the DLL does not export that); there
// WatchEchoAttempts only runs `run` and reports nothing.
bool CanWatchEchoAttempts();

}  // namespace nebrin::host
