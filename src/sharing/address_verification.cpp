// Verifying addresses after a sharing change: recording the host's private adapter as sharing
// left it and telling whether the other adapters differ from the profile; confirming the host's
// adapters after they were re-applied; confirming that a client's private adapter is on DHCP.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "frame/no_throw.h"
#include "frame/record_text.h"
#include "frame/shared_objects.h"
#include "netstate/adapter_confirmation.h"
#include "netstate/poll_pause.h"
#include "platform/platform.h"
#include "sharing/profile_input.h"

namespace nebrin::sharing {
namespace {

using frame::FieldText;
using frame::SameField;
using frame::SetField;

constexpr char16_t kNoDhcpText[] = u"No DHCP is added";
constexpr char16_t kNoDhcpCaption[] = u"Class CheckClientIPChange";

// The index of the profile's entry for the adapter `name`, or -1. Live and stored adapters are
// paired by name, not by position: the system may list them in another order than the one the
// profile was captured in.
int StoredEntry(const EnvInfoStr& env, const AdapterInfoStr* adapters, const std::u16string& name) {
  for (int j = 0; j < env.AdapterCount; ++j) {
    if (FieldText(adapters[j].AdapterName) == name) return j;
  }
  return -1;
}

// Records the private adapter as sharing left it: its address and mask, no gateway, name or
// WINS servers, metric "0", a fixed address.
void TakeSharingAddress(AdapterInfoStr& entry, const AdapterInfoStr& live) {
  SetField(entry.IpAddressList, FieldText(live.IpAddressList));
  SetField(entry.SubnetMask, FieldText(live.SubnetMask));
  SetField(entry.GatewayList, u"");
  SetField(entry.PrimaryDnsServer, u"");
  SetField(entry.PrimaryWinsServer, u"");
  SetField(entry.SecondaryDnsServer, u"");
  SetField(entry.SecondaryWinsServer, u"");
  SetField(entry.Metric, u"0");
  SetField(entry.DhcpEnabled, u"no");
}

// Whether the live settings differ from the stored ones; the metric, the connection name and the
// descriptive fields are not compared.
bool Differs(const AdapterInfoStr& stored, const AdapterInfoStr& live) {
  return !SameField(stored.DhcpEnabled, live.DhcpEnabled) ||
         !SameField(stored.IpAddressList, live.IpAddressList) ||
         !SameField(stored.PrimaryDnsServer, live.PrimaryDnsServer) ||
         !SameField(stored.GatewayList, live.GatewayList) ||
         !SameField(stored.SubnetMask, live.SubnetMask) ||
         !SameField(stored.PrimaryWinsServer, live.PrimaryWinsServer) ||
         !SameField(stored.SecondaryDnsServer, live.SecondaryDnsServer) ||
         !SameField(stored.SecondaryWinsServer, live.SecondaryWinsServer);
}

}  // namespace
}  // namespace nebrin::sharing

int CNetInfoManage::CheckServerIPChange(EnvInfoStr* env, AdapterInfoStr* adapters) {
  using namespace nebrin;
  return frame::Guarded(0, [&] {
    if (!sharing::ValidProfile(env, adapters)) return 0;
    EnvInfoStr live{};
    AdapterInfoStr liveAdapters[NEBRIN_ADAPTER_RECORDS]{};
    frame::SharedRetrieve().IPRetrieve(&live, liveAdapters);  // the result is not examined
    const int liveCount = std::clamp(live.AdapterCount, 0, NEBRIN_ADAPTER_RECORDS);
    const std::u16string privateGuid = frame::FieldText(env->strPrivateDevGUID);
    int changed = 0;
    for (int i = 0; i < liveCount; ++i) {
      const AdapterInfoStr& current = liveAdapters[i];
      const std::u16string name = frame::FieldText(current.AdapterName);
      const int stored = sharing::StoredEntry(*env, adapters, name);
      if (stored < 0) continue;
      if (name == privateGuid) {
        sharing::TakeSharingAddress(adapters[stored], current);
        SaveValueForEachAdapter(adapters, env->nProfileKey, stored);  // result not examined
      } else if (sharing::Differs(adapters[stored], current)) {
        changed = 1;
      }
    }
    return changed;
  });
}

int CNetInfoManage::CheckServerIPChangeResult(EnvInfoStr* env, AdapterInfoStr* adapters) {
  using namespace nebrin;
  return frame::Guarded(0, [&] {
    if (!sharing::ValidProfile(env, adapters)) return 0;
    netstate::WaitUntilNoNetworkShell(*this);

    platform::AdapterList& list = platform::Current().adapters();
    std::uint32_t bytes = 0;
    const platform::Status size = list.QuerySize(bytes);
    if (size != platform::kSuccess && size != platform::kBufferOverflow) return 0;

    // Adapters of the profile that are gone count neither as expected nor as matched; a host
    // whose private adapter is gone is not confirmed at all.
    const std::u16string privateGuid = frame::FieldText(env->strPrivateDevGUID);
    int expected = 0;
    for (int k = 0; k < env->AdapterCount; ++k) {
      const bool present = CheckAdapterExist(env, adapters, k) == 1;
      if (present) ++expected;
      if (!present && frame::FieldText(adapters[k].AdapterName) == privateGuid) return 0;
    }
    if (expected == 0) return 0;

    std::vector<platform::AdapterListEntry> entries;
    if (list.Fill(bytes, entries) != platform::kSuccess) return 0;
    // The private adapter took its address from sharing: it counts without a look at the list.
    int matched = 0;
    for (int k = 0; k < env->AdapterCount; ++k) {
      if (frame::FieldText(adapters[k].AdapterName) == privateGuid ||
          netstate::Confirms(entries, adapters[k])) {
        ++matched;
      }
    }
    return matched == expected ? 1 : 0;
  });
}

int CNetInfoManage::CheckClientIPChange(EnvInfoStr* env, AdapterInfoStr* adapters) {
  using namespace nebrin;
  return frame::Guarded(0, [&] {
    if (!sharing::RecordsPresent(env, adapters)) return 0;
    netstate::WaitUntilNoNetworkShell(*this);
    std::vector<platform::AdapterListEntry> entries;
    if (!platform::ReadAdapterList(platform::Current().adapters(), entries)) return 0;
    const std::u16string privateGuid = frame::FieldText(env->strPrivateDevGUID);
    for (const auto& listed : entries) {
      std::u16string name;
      if (listed.dhcpEnabled && netstate::ListedName(listed, name) && name == privateGuid) {
        return 1;
      }
    }
    // The host relies on this box to tell the user; it blocks until the user closes it.
    platform::Current().dialogs().ShowMessage(sharing::kNoDhcpText, sharing::kNoDhcpCaption,
                                              platform::kMbOk);
    return 0;
  });
}
