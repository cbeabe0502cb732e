// The product's ad hoc tool, "Tamsel.exe" in the product's folder under Program Files: started
// hidden with "/1" or "/2" and waited for, at most five minutes.
#include <cstdint>
#include <string>

#include "NebrinCoreDll.h"
#include "apply/run_and_wait.h"
#include "frame/no_throw.h"
#include "frame/shared_objects.h"
#include "platform/platform.h"

namespace nebrin::wlan {
namespace {

constexpr std::uint32_t kToolWaitMs = 300000;

// MakeOneClickAdHoc's results.
constexpr int kToolRan = 22;
constexpr int kToolNotStarted = 23;
constexpr int kToolAlreadyRunning = 27;

// The tool's full path: the Program Files folder, "corvane", "Nebrin", "Tamsel.exe", joined in
// the shell's path buffer. False when the folder is not found or the path does not fit.
bool ToolPath(std::u16string& path) {
  platform::Shell& shell = platform::Current().shell();
  if (shell.FolderPath(platform::kCsidlProgramFiles, platform::kFolderPathCurrent, path) !=
      platform::kSOk) {
    return false;
  }
  return shell.AppendPath(path, u"corvane") && shell.AppendPath(path, u"Nebrin") &&
         shell.AppendPath(path, u"Tamsel.exe");
}

}  // namespace
}  // namespace nebrin::wlan

// The tool is started with its full path as the program to run and that path quoted in the
// command line: the folder's path has a blank ("C:\Program Files"), and an unquoted command line
// alone would let "C:\Program.exe" run in its place.
int CWLanControl::MakeAdHocByExternalBinary(int mode) {
  using namespace nebrin;
  return frame::Guarded(0, [mode] {
    std::u16string tool;
    if (!wlan::ToolPath(tool)) return 0;
    const std::u16string commandLine = u"\"" + tool + u"\" " + (mode == 1 ? u"/1" : u"/2");
    // The command line is built in a buffer of the shell's path size; a longer one is refused
    // rather than cut.
    if (commandLine.size() >= platform::kMaxPath) return 0;
    return apply::RunAndWait(tool, commandLine, wlan::kToolWaitMs) ? 1 : 0;
  });
}

int CWLanControl::MakeOneClickAdHoc(NebrinHandle&, EnvInfoStr*) {
  using namespace nebrin;
  return frame::Guarded(wlan::kToolNotStarted, [this] {
    NebrinChar tool[] = {'T', 'a', 'm', 's', 'e', 'l', '.', 'e', 'x', 'e', 0};
    if (frame::SharedManage().CheckOSStatus(tool) == 1) return wlan::kToolAlreadyRunning;
    return MakeAdHocByExternalBinary(1) == 1 ? wlan::kToolRan : wlan::kToolNotStarted;
  });
}
