// Applying the addresses of a profile without connection sharing: script, network shell,
// confirmation, default printer, machine-wide wireless key and the last applied profile.
#include "NebrinCoreDll.h"
#include "apply/profile_printer.h"
#include "apply/result_codes.h"
#include "apply/run_and_wait.h"
#include "frame/no_throw.h"
#include "frame/record_text.h"

int CNetInfoManage::NormalSetup(EnvInfoStr* env, AdapterInfoStr* adapters) {
  return nebrin::frame::Guarded(nebrin::apply::kScriptFailed, [&] {
    using namespace nebrin;
    if (env == nullptr || adapters == nullptr) return apply::kScriptFailed;
    if (env->AdapterCount > NEBRIN_ADAPTER_RECORDS) return apply::kScriptFailed;

    if (MakeInitialPartInIPTxt() == 0) return apply::kScriptFailed;
    for (int i = 0; i < env->AdapterCount; ++i) {
      const int written = frame::FieldIs(adapters[i].DhcpEnabled, u"yes")
                              ? MakeDHCPPartInIPTxt(env, adapters, i)
                              : MakeStaticPartInIPTxt(env, adapters, i);
      if (written == 0) return apply::kScriptFailed;
    }
    if (MakeEndPartInIPTxt() == 0) return apply::kScriptFailed;

    if (!apply::RunNetworkShell()) return apply::kScriptFailed;
    if (GetChangeStatus(env, adapters) == 0) return apply::kNotConfirmed;

    apply::MakeProfilePrinterDefault(*env);
    if (DeleteHKLMNebrinKey() == 0) return apply::kMachineKeyRemoveFailed;
    return SetLastProfileNo(env->nProfileKey) != 0 ? apply::kApplied : apply::kNotConfirmed;
  });
}
