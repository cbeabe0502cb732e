#include "netstate/name_server_split.h"

#include <cstddef>

namespace nebrin::netstate {

void SplitNameServers(AdapterInfoStr& entry, const NebrinChar* list, NebrinChar separator) {
  constexpr std::size_t kCapacity = sizeof(entry.PrimaryDnsServer) / sizeof(NebrinChar);
  static_assert(sizeof(entry.SecondaryDnsServer) == sizeof(entry.PrimaryDnsServer));

  NebrinChar* field = entry.PrimaryDnsServer;
  std::size_t position = 0;
  bool inSecondary = false;
  for (std::size_t i = 0;; ++i) {
    const NebrinChar c = list[i];
    if (c == separator) {
      if (inSecondary) return;  // a second separator ends the split
      inSecondary = true;
      field = entry.SecondaryDnsServer;
      position = 0;
      continue;
    }
    // Each character is stored with a terminator after it; the list's own NUL thereby only ends
    // the current field. Characters beyond the field's room are dropped.
    if (position + 1 < kCapacity) {
      field[position] = c;
      field[position + 1] = 0;
      ++position;
    }
    if (c == 0) return;
  }
}

}  // namespace nebrin::netstate

namespace {

bool ValidEntry(AdapterInfoStr* adapters, const NebrinChar* list, int index) {
  return adapters != nullptr && list != nullptr && index >= 0 && index < NEBRIN_ADAPTER_RECORDS;
}

}  // namespace

int CNetInfoManage::GetDHCPDNSAddress(AdapterInfoStr* adapters, NebrinChar* list, int index) {
  if (ValidEntry(adapters, list, index)) nebrin::netstate::SplitNameServers(adapters[index], list, u' ');
  return 1;
}

int CNetInfoManage::GetDNSAddress(AdapterInfoStr* adapters, NebrinChar* list, int index) {
  if (ValidEntry(adapters, list, index)) nebrin::netstate::SplitNameServers(adapters[index], list, u',');
  return 1;
}
