// What the platform answered while a member ran. A member's result does not always say what went
// wrong (the printer list answers 0 for any failure, the wizard always 1), so on Linux the host
// installs a platform that passes every call through to the one in force and notes the answers of
// the calls it reports on.
#pragma once

#include <functional>
#include <optional>

#include "platform/status.h"

namespace nebrin::host {

struct WatchedCalls {
  // false where the host cannot put a platform under the library (the Windows DLL keeps its own):
  // nothing below was seen then.
  bool watched = false;
  std::optional<platform::Status> enumeratePrinters;  // the last answer of each call, if made
  std::optional<platform::Status> defaultPrinter;
  std::optional<platform::Status> systemDirectory;
  std::optional<platform::Status> startProcess;
};

// Runs `run` with the watching platform installed and puts the previous platform back afterwards.
// Returns what `run` returned.
int WatchCalls(const std::function<int()>& run, WatchedCalls& seen);

}  // namespace nebrin::host
