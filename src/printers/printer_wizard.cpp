// The system's add-printer wizard.
#include <string>

#include "NebrinCoreDll.h"
#include "frame/no_throw.h"
#include "platform/platform.h"
#include "platform/process_handle.h"

namespace {

constexpr char16_t kWizardCommand[] = u"Rundll32.exe printui.dll, PrintUIEntry /il";

}  // namespace

// The wizard runs on its own; whether it started is not reported. The command runner is started
// by its full path in the system directory, so a "Rundll32.exe" in the working directory or beside
// the host is never run.
int CCommonFtn::RunPrtWizard() {
  using namespace nebrin::platform;
  return nebrin::frame::Guarded(1, [] {
    Processes& processes = Current().processes();
    std::u16string directory;
    if (processes.SystemDirectory(directory) != kSuccess) return 1;
    ProcessHandle process = kNoProcess;
    ProcessHandle thread = kNoProcess;
    if (processes.StartProcess(directory + u"\\rundll32.exe", kWizardCommand, kSwShow, process,
                               thread) == kSuccess) {
      // Not waited for: both handles are closed at once.
      UniqueProcessHandle ownedProcess(processes, process);
      UniqueProcessHandle ownedThread(processes, thread);
    }
    return 1;
  });
}
