#include "sharing/finish_setup.h"

#include "apply/profile_printer.h"
#include "apply/result_codes.h"

namespace nebrin::sharing {

int FinishSetup(CNetInfoManage& manage, EnvInfoStr& env, int applied, int notRecorded) {
  apply::MakeProfilePrinterDefault(env);
  if (env.bPrivateWlan != 0) {
    if (manage.MakeHKLMNebrinKey(&env) == 0) return apply::kMachineKeyWriteFailed;
  } else if (manage.DeleteHKLMNebrinKey() == 0) {
    return apply::kMachineKeyRemoveFailed;
  }
  return manage.SetLastProfileNo(env.nProfileKey) != 0 ? applied : notRecorded;
}

}  // namespace nebrin::sharing
