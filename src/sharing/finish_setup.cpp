#include "sharing/finish_setup.h"

#include "apply/result_codes.h"
#include "frame/record_text.h"
#include "platform/platform.h"

namespace nebrin::sharing {

int FinishSetup(CNetInfoManage& manage, EnvInfoStr& env, int applied, int notRecorded) {
  if (env.bDefaultPrinterFlag != 0) {
    platform::Current().spooler().SetDefaultPrinter(frame::FieldText(env.strPrinterName));
  }
  if (env.bPrivateWlan != 0) {
    if (manage.MakeHKLMNebrinKey(&env) == 0) return apply::kMachineKeyWriteFailed;
  } else if (manage.DeleteHKLMNebrinKey() == 0) {
    return apply::kMachineKeyRemoveFailed;
  }
  return manage.SetLastProfileNo(env.nProfileKey) != 0 ? applied : notRecorded;
}

}  // namespace nebrin::sharing
