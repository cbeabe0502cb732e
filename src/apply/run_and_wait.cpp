#include "apply/run_and_wait.h"

#include <string>

#include "platform/platform.h"
#include "platform/process_handle.h"

namespace nebrin::apply {

// The command line buffer of the shell's command lines, in UTF-16 units, terminator included.
constexpr std::size_t kShellCommandBuffer = 100;

bool RunAndWait(std::u16string_view application, std::u16string_view commandLine,
                std::uint32_t timeoutMs) {
  platform::Processes& processes = platform::Current().processes();
  platform::ProcessHandle process = platform::kNoProcess;
  platform::ProcessHandle thread = platform::kNoProcess;
  if (processes.StartProcess(application, commandLine, platform::kSwHide, process, thread) !=
      platform::kSuccess) {
    return false;
  }
  platform::UniqueProcessHandle ownedProcess(processes, process);
  platform::UniqueProcessHandle ownedThread(processes, thread);
  processes.Wait(ownedProcess.get(), timeoutMs);
  return true;
}

bool RunNetworkShell(std::u16string_view commandLine) {
  if (commandLine.size() >= kShellCommandBuffer) return false;
  std::u16string directory;
  if (platform::Current().processes().SystemDirectory(directory) != platform::kSuccess) {
    return false;
  }
  return RunAndWait(directory + u"\\netsh.exe", commandLine, platform::kInfinite);
}

}  // namespace nebrin::apply
