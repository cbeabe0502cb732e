// On Windows the host cannot watch the echo test: the DLL keeps its platform to itself.
#include "echo_progress.h"

namespace nebrin::host {

int WatchEchoAttempts(const std::function<int()>& run,
                      const std::function<void(const EchoAttempt&)>&) {
  return run();
}

bool CanWatchEchoAttempts() { return false; }

}  // namespace nebrin::host
