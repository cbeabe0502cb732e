// Sharing host set-up: connection sharing and the firewall switched off on every connection and,
// when asked, on again for the profile's public and private connections; then the profile's
// printer, the machine-wide wireless key and the last applied profile.
#include <optional>
#include <string>

#include "NebrinCoreDll.h"
#include "apply/result_codes.h"
#include "frame/no_throw.h"
#include "frame/record_text.h"
#include "platform/platform.h"
#include "platform/sharing_walk.h"
#include "sharing/finish_setup.h"
#include "sharing/profile_input.h"

namespace nebrin::sharing {
namespace {

using platform::Failed;
using platform::SharingType;
using platform::UniqueComRef;

// Switches sharing and the firewall off on every connection: 0 when done, else the code of the
// step that failed.
int TeardownPass(platform::SharingWalk& walk) {
  platform::NetworkConnections& connections = walk.connections();
  UniqueComRef connection(walk.com());
  while (walk.NextConnection(connection)) {
    UniqueComRef props(walk.com());
    if (!walk.Props(connection, props)) return apply::kSharingObjectsMissing;
    UniqueComRef configuration(walk.com());
    if (!walk.Configuration(connection, configuration)) return apply::kSharingObjectsMissing;
    if (Failed(connections.DisableSharing(configuration.get()))) return apply::kSharingOffFailed;
    bool firewallOn = false;
    if (!Failed(connections.InternetFirewallEnabled(configuration.get(), firewallOn)) &&
        firewallOn && Failed(connections.DisableInternetFirewall(configuration.get()))) {
      return apply::kFirewallOffFailed;
    }
  }
  return 0;
}

// Switches sharing on for the public and the private connection of `env` and sets their
// firewalls; counts the connections switched on. 0 when the walk ended, else the code of the step
// that failed.
int SetUpPass(platform::SharingWalk& walk, const EnvInfoStr& env, int& count) {
  platform::NetworkConnections& connections = walk.connections();
  const std::u16string publicGuid = frame::FieldText(env.strPublicDevGUID);
  const std::u16string privateGuid = frame::FieldText(env.strPrivateDevGUID);
  walk.Reset();
  count = 0;
  UniqueComRef connection(walk.com());
  while (walk.NextConnection(connection)) {
    UniqueComRef props(walk.com());
    if (!walk.Props(connection, props)) return apply::kSharingObjectsMissing;
    const std::optional<std::u16string> guid = walk.Guid(props);
    if (!guid) continue;
    UniqueComRef configuration(walk.com());
    if (*guid == publicGuid) {
      if (!walk.Configuration(connection, configuration)) return apply::kSharingObjectsMissing;
      if (Failed(connections.EnableSharing(configuration.get(), SharingType::Public))) {
        return apply::kPublicSharingFailed;
      }
      ++count;
      // Public sharing has switched the connection's firewall on: it stays on only when the
      // profile asks for it.
      if (env.bICFFlag != 0) {
        if (Failed(connections.EnableInternetFirewall(configuration.get()))) {
          return apply::kPublicFirewallFailed;
        }
      } else if (Failed(connections.DisableInternetFirewall(configuration.get()))) {
        return apply::kFirewallOffFailed;
      }
    } else if (*guid == privateGuid) {
      if (!walk.Configuration(connection, configuration)) return apply::kSharingObjectsMissing;
      if (Failed(connections.DisableInternetFirewall(configuration.get()))) {
        return apply::kFirewallOffFailed;
      }
      if (Failed(connections.EnableSharing(configuration.get(), SharingType::Private))) {
        return apply::kPrivateSharingFailed;
      }
      ++count;
    }
  }
  return 0;
}

// The sharing switches; 0 when both passes ran to their end, else the code of the failed step.
// The walk's objects are released and COM uninitialised before it returns.
int SwitchSharing(const EnvInfoStr& env, bool enable, int& count) {
  platform::Platform& system = platform::Current();
  platform::SharingWalk walk(system.com(), system.connections());
  if (!walk.CreateManager()) return apply::kSharingObjectsMissing;
  count = 0;
  if (!walk.OpenEnumerator()) return 0;
  if (const int failed = TeardownPass(walk)) return failed;
  if (!enable) return 0;
  return SetUpPass(walk, env, count);
}

}  // namespace
}  // namespace nebrin::sharing

int CNetInfoManage::ICSServerSetup(EnvInfoStr* env, AdapterInfoStr* adapters, int enable) {
  using namespace nebrin;
  return frame::Guarded(apply::kSharingObjectsMissing, [&] {
    if (!sharing::RecordsPresent(env, adapters)) return apply::kSharingObjectsMissing;
    int count = 0;
    if (const int failed = sharing::SwitchSharing(*env, enable != 0, count)) return failed;
    if (enable == 0) return apply::kSharingSetUp;
    if (count != 2) return apply::kSharingHostIncomplete;
    return sharing::FinishSetup(*this, *env, apply::kSharingSetUp, apply::kSharingHostIncomplete);
  });
}
