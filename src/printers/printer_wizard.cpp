// The system's add-printer wizard.
#include "NebrinCoreDll.h"
#include "platform/platform.h"

namespace {

constexpr char kWizardCommand[] = "Rundll32.exe printui.dll, PrintUIEntry /il";

}  // namespace

// The wizard runs on its own; whether it started is not reported.
int CCommonFtn::RunPrtWizard() {
  nebrin::platform::Current().shell().WinExec(kWizardCommand, nebrin::platform::kSwShow);
  return 1;
}
