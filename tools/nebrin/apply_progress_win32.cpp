// On Windows the host cannot watch a profile application: the DLL keeps its platform to itself.
#include "apply_progress.h"

namespace nebrin::host {

int WatchApplyWaits(const std::function<int()>& run,
                    const std::function<void(ApplyWait, const std::string&)>&) {
  return run();
}

bool CanWatchApplyWaits() { return false; }

}  // namespace nebrin::host
