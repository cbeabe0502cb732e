// The address steps of sharing: re-applying a host's other adapters once sharing has given the
// private adapter its address, and putting a client's private adapter on DHCP.
#include <string>

#include "NebrinCoreDll.h"
#include "apply/result_codes.h"
#include "apply/run_and_wait.h"
#include "frame/no_throw.h"
#include "frame/record_text.h"
#include "sharing/finish_setup.h"
#include "sharing/profile_input.h"

namespace nebrin::sharing {

// The client's command line keeps the blank after the file name that hosts have always seen.
constexpr std::u16string_view kClientCommandLine = u"netsh -f ip.txt ";

}  // namespace nebrin::sharing

int CNetInfoManage::ServerIPSet(EnvInfoStr* env, AdapterInfoStr* adapters) {
  using namespace nebrin;
  return frame::Guarded(apply::kScriptFailed, [&] {
    if (!sharing::ValidProfile(env, adapters)) return apply::kScriptFailed;
    if (MakeInitialPartInIPTxt() == 0) return apply::kScriptFailed;
    // The private adapter keeps the address sharing gave it: it gets no lines.
    const std::u16string privateGuid = frame::FieldText(env->strPrivateDevGUID);
    for (int i = 0; i < env->AdapterCount; ++i) {
      if (frame::FieldText(adapters[i].AdapterName) == privateGuid) continue;
      const int written = frame::FieldIs(adapters[i].DhcpEnabled, u"yes")
                              ? MakeDHCPPartInIPTxt(env, adapters, i)
                              : MakeStaticPartInIPTxt(env, adapters, i);
      if (written == 0) return apply::kScriptFailed;
    }
    if (MakeEndPartInIPTxt() == 0) return apply::kScriptFailed;
    if (!apply::RunNetworkShell()) return apply::kScriptFailed;
    return CheckServerIPChangeResult(env, adapters) != 0 ? apply::kSharingSetUp
                                                         : apply::kScriptFailed;
  });
}

int CNetInfoManage::ICSClientSetup(EnvInfoStr* env, AdapterInfoStr* adapters) {
  using namespace nebrin;
  return frame::Guarded(apply::kScriptFailed, [&] {
    if (!sharing::ValidProfile(env, adapters)) return apply::kScriptFailed;
    if (MakeInitialPartInIPTxt() == 0) return apply::kScriptFailed;
    // Only the private adapter gets lines: it takes its address from the sharing host.
    const std::u16string privateGuid = frame::FieldText(env->strPrivateDevGUID);
    for (int i = 0; i < env->AdapterCount; ++i) {
      if (frame::FieldText(adapters[i].AdapterName) != privateGuid) continue;
      if (MakeDHCPPartInIPTxt(env, adapters, i) == 0) return apply::kScriptFailed;
    }
    if (MakeEndPartInIPTxt() == 0) return apply::kScriptFailed;
    if (!apply::RunNetworkShell(sharing::kClientCommandLine)) return apply::kScriptFailed;
    if (CheckClientIPChange(env, adapters) == 0) return apply::kNotConfirmed;
    return sharing::FinishSetup(*this, *env, apply::kApplied, apply::kNotConfirmed);
  });
}
