// The firewall switch: the connection firewall of the profile's public connection on or off as
// the profile says, sharing and addresses untouched.
#include <optional>
#include <string>

#include "NebrinCoreDll.h"
#include "apply/result_codes.h"
#include "frame/no_throw.h"
#include "frame/record_text.h"
#include "platform/platform.h"
#include "platform/sharing_walk.h"

namespace nebrin::sharing {
namespace {

constexpr int kSwitched = 1;
constexpr int kFirewallCallFailed = 0;

// Every connection carrying the public GUID is switched; the walk goes on after a match.
int SwitchFirewall(const EnvInfoStr& env) {
  platform::Platform& system = platform::Current();
  platform::SharingWalk walk(system.com(), system.connections());
  if (!walk.CreateManager()) return apply::kSharingObjectsMissing;
  if (!walk.OpenEnumerator()) return kSwitched;
  const std::u16string publicGuid = frame::FieldText(env.strPublicDevGUID);
  platform::UniqueComRef connection(walk.com());
  while (walk.NextConnection(connection)) {
    platform::UniqueComRef props(walk.com());
    if (!walk.Props(connection, props)) return apply::kSharingObjectsMissing;
    if (walk.Guid(props) != publicGuid) continue;
    platform::UniqueComRef configuration(walk.com());
    if (!walk.Configuration(connection, configuration)) return apply::kSharingObjectsMissing;
    platform::NetworkConnections& connections = walk.connections();
    const platform::HResult result = env.bICFFlag != 0
                                         ? connections.EnableInternetFirewall(configuration.get())
                                         : connections.DisableInternetFirewall(configuration.get());
    if (platform::Failed(result)) return kFirewallCallFailed;
  }
  return kSwitched;
}

}  // namespace
}  // namespace nebrin::sharing

int CNetInfoManage::SetICF(EnvInfoStr* env) {
  using namespace nebrin;
  return frame::Guarded(apply::kSharingObjectsMissing, [&] {
    if (env == nullptr) return apply::kSharingObjectsMissing;
    return sharing::SwitchFirewall(*env);
  });
}
