// DHCP lease refresh: a stored DHCP adapter takes the addresses its adapter holds right now, in
// the caller's record and in the profile store, so that the store shows the last lease seen.
#include <cstdint>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "frame/no_throw.h"
#include "frame/record_text.h"
#include "netstate/registry_paths.h"
#include "platform/platform.h"
#include "platform/registry_key.h"
#include "store/store_keys.h"
#include "store/store_lock.h"
#include "store/store_values.h"

namespace nebrin::netstate {
namespace {

using frame::FieldText;
using frame::SetField;
using platform::Access;
using platform::kSuccess;
using platform::Registry;
using platform::UniqueKey;

// Texts pass through buffers of 200 UTF-16 units, terminator included.
constexpr std::size_t kTextBuffer = 200;
constexpr char16_t kNoAddress[] = u"0.0.0.0";

bool Widen(const std::string& text, std::u16string& wide) {
  if (platform::Current().text().ToWide(platform::CodePage::Ansi, text, wide) != kSuccess)
    return false;
  return wide.size() < kTextBuffer;
}

// The four texts the adapter list gives for a lease.
struct ListedLease {
  std::u16string address;
  std::u16string gateway;
  std::u16string primaryWins;
  std::u16string secondaryWins;
};

bool WidenLease(const platform::AdapterListEntry& listed, ListedLease& lease) {
  return Widen(listed.ipAddress, lease.address) && Widen(listed.gateway, lease.gateway) &&
         Widen(listed.primaryWins, lease.primaryWins) &&
         Widen(listed.secondaryWins, lease.secondaryWins);
}

// Mask and DNS servers of a leased adapter from its TCP/IP interface key; false when the mask
// cannot be read. An unplugged adapter (no lease) has none of them.
bool ReadLeaseSettings(CNetInfoManage& manage, Registry& registry, AdapterInfoStr* adapters,
                       int index) {
  AdapterInfoStr& entry = adapters[index];
  UniqueKey tcpip;
  if (platform::OpenKey(registry, platform::kLocalMachine,
                        TcpipInterfaceKey(FieldText(entry.AdapterName)), Access::Read,
                        tcpip) != kSuccess) {
    return false;
  }
  // Only the mask's first string counts; one longer than the field holds cannot be read.
  std::u16string mask;
  if (platform::ReadText(registry, tcpip.get(), u"DhcpSubnetMask",
                         sizeof(entry.SubnetMask) / sizeof(NebrinChar), mask) != kSuccess) {
    return false;
  }
  SetField(entry.SubnetMask, mask);
  std::u16string servers;
  if (platform::ReadText(registry, tcpip.get(), u"DhcpNameServer", kTextBuffer, servers) ==
      kSuccess) {
    NebrinChar list[kTextBuffer];
    SetField(list, servers);
    manage.GetDHCPDNSAddress(adapters, list, index);
  } else {
    SetField(entry.PrimaryDnsServer, kNoAddress);
    SetField(entry.SecondaryDnsServer, kNoAddress);
  }
  return true;
}

// Whether the stored adapter is, as the store stands now, still the DHCP adapter of that name the
// load read. Another writer may have changed it since (an edit to static addresses, a profile
// deleted and its number taken by another): its values are then not the lease's to replace.
bool StillLeased(Registry& registry, const AdapterInfoStr& entry, int profile, int index) {
  UniqueKey key;
  if (platform::OpenKey(registry, platform::kCurrentUser, store::AdapterKeyPath(profile, index),
                        Access::Read, key) != kSuccess) {
    return false;
  }
  std::u16string name;
  std::u16string dhcp;
  return platform::ReadText(registry, key.get(), u"AdapterName",
                            sizeof(entry.AdapterName) / sizeof(NebrinChar), name) == kSuccess &&
         name == FieldText(entry.AdapterName) &&
         platform::ReadText(registry, key.get(), u"DhcpEnabled",
                            sizeof(entry.DhcpEnabled) / sizeof(NebrinChar), dhcp) == kSuccess &&
         dhcp != u"no";
}

// Writes the seven address values of the entry into its adapter key, if the store's mutex is
// taken within a second (another writer keeping it longer leaves the store as it was) and the
// key is still that DHCP adapter. Each value is replaced whole, so the adapter loads at every
// point between two writes.
void StoreLease(Registry& registry, const AdapterInfoStr& entry, int profile, int index) {
  store::StoreWriteLock lock(platform::Current(), store::kLeaseLockWait);
  if (!lock.held() || !StillLeased(registry, entry, profile, index)) return;
  UniqueKey key;
  if (platform::OpenKey(registry, platform::kCurrentUser, store::AdapterKeyPath(profile, index),
                        Access::Write, key) != kSuccess) {
    return;
  }
  using frame::TerminatedFieldText;
  const std::pair<const char16_t*, std::u16string> values[] = {
      {u"IpAddressList", TerminatedFieldText(entry.IpAddressList)},
      {u"GatewayList", TerminatedFieldText(entry.GatewayList)},
      {u"SubnetMask", TerminatedFieldText(entry.SubnetMask)},
      {u"PrimaryDnsServer", TerminatedFieldText(entry.PrimaryDnsServer)},
      {u"SecondaryDnsServer", TerminatedFieldText(entry.SecondaryDnsServer)},
      {u"PrimaryWinsServer", TerminatedFieldText(entry.PrimaryWinsServer)},
      {u"SecondaryWinsServer", TerminatedFieldText(entry.SecondaryWinsServer)},
  };
  for (const auto& [name, text] : values) store::WriteText(registry, key.get(), name, text);
}

}  // namespace
}  // namespace nebrin::netstate

int CNetInfoManage::GetDHCPIP(int adapterIndex, int profileNumber, AdapterInfoStr* adapters) {
  return nebrin::frame::Guarded(0, [&] {
    using namespace nebrin;
    if (adapters == nullptr || adapterIndex < 0 || adapterIndex >= NEBRIN_ADAPTER_RECORDS) return 0;
    std::vector<platform::AdapterListEntry> entries;
    if (!platform::ReadAdapterList(platform::Current().adapters(), entries)) return 0;

    AdapterInfoStr& entry = adapters[adapterIndex];
    const std::u16string wanted = frame::FieldText(entry.AdapterName);
    for (const auto& listed : entries) {
      std::u16string name;
      if (!netstate::Widen(listed.adapterName, name) || name != wanted) continue;

      // Texts the list cannot give leave the record as it was.
      netstate::ListedLease lease;
      if (!netstate::WidenLease(listed, lease)) return 0;
      frame::SetField(entry.IpAddressList, lease.address);
      frame::SetField(entry.GatewayList, lease.gateway);
      frame::SetField(entry.PrimaryWinsServer, lease.primaryWins);
      frame::SetField(entry.SecondaryWinsServer, lease.secondaryWins);

      platform::Registry& registry = platform::Current().registry();
      if (!frame::FieldIs(entry.IpAddressList, netstate::kNoAddress)) {
        // Without a readable mask the store keeps its previous values.
        if (!netstate::ReadLeaseSettings(*this, registry, adapters, adapterIndex)) return 0;
      } else {
        frame::SetField(entry.SubnetMask, netstate::kNoAddress);
        frame::SetField(entry.PrimaryDnsServer, netstate::kNoAddress);
        frame::SetField(entry.SecondaryDnsServer, netstate::kNoAddress);
      }
      netstate::StoreLease(registry, entry, profileNumber, adapterIndex);
      return 1;
    }
    return 1;  // the adapter is not on the machine: nothing changes
  });
}
