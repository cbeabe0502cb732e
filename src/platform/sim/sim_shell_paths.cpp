// The simulated shell's folder paths and path joining. Running out of memory changes nothing:
// the folder path answers E_OUTOFMEMORY, the joining fails.
#include <new>

#include "platform/sim/machine_state.h"
#include "platform/sim/sim_spooler.h"
#include "platform/sim/sim_text.h"

namespace nebrin::sim {

// Only the Program Files folder is modelled; an empty path in the machine stands for a machine
// without one (E_FAIL, as SHGetFolderPathW answers for a folder that does not exist).
platform::HResult SimShell::FolderPath(int csidl, std::uint32_t flags, std::u16string& path) {
  if (Status fault = machine_.accounting.Enter(Service::Shell)) {
    return platform::HResultFromWin32(fault);
  }
  if (csidl != platform::kCsidlProgramFiles || flags > 1) return platform::kEInvalidArg;
  if (machine_.shellState.programFiles.empty()) return platform::kEFail;
  try {
    std::u16string folder = Utf8ToUtf16(machine_.shellState.programFiles);
    if (folder.size() >= platform::kMaxPath) return platform::kEFail;
    path = std::move(folder);
    return platform::kSOk;
  } catch (const std::bad_alloc&) {
    return platform::kEOutOfMemory;
  }
}

// PathAppendW: leading backslashes of `more` are dropped and one backslash joins the parts; the
// result, with its terminator, must fit the shell's path buffer.
bool SimShell::AppendPath(std::u16string& path, std::u16string_view more) {
  if (machine_.accounting.Enter(Service::Shell) != platform::kSuccess) return false;
  while (!more.empty() && more.front() == u'\\') more.remove_prefix(1);
  try {
    std::u16string joined = path;
    if (!joined.empty() && joined.back() != u'\\' && !more.empty()) joined.push_back(u'\\');
    joined.append(more);
    if (joined.size() >= platform::kMaxPath) return false;
    path = std::move(joined);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace nebrin::sim
