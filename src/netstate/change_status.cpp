// Counting a profile's wireless adapters and classifying what differs between two profiles.
#include <algorithm>

#include "NebrinCoreDll.h"
#include "frame/no_throw.h"
#include "frame/record_text.h"

using nebrin::frame::FieldIs;
using nebrin::frame::SameField;

namespace {

// Entries below AdapterCount, never more than the array holds.
int ValidEntries(const EnvInfoStr& env) {
  return std::clamp(env.AdapterCount, 0, NEBRIN_ADAPTER_RECORDS);
}

bool AdapterSettingsDiffer(const AdapterInfoStr& a, const AdapterInfoStr& b) {
  return !SameField(a.GatewayList, b.GatewayList) || !SameField(a.IpAddressList, b.IpAddressList) ||
         !SameField(a.PrimaryDnsServer, b.PrimaryDnsServer) ||
         !SameField(a.PrimaryWinsServer, b.PrimaryWinsServer) ||
         !SameField(a.SecondaryDnsServer, b.SecondaryDnsServer) ||
         !SameField(a.SecondaryWinsServer, b.SecondaryWinsServer) ||
         !SameField(a.SubnetMask, b.SubnetMask) || !SameField(a.DhcpEnabled, b.DhcpEnabled);
}

}  // namespace

int CNetInfoRetrieve::GetWLANDeviceCount(EnvInfoStr* env, AdapterInfoStr* adapters) {
  return nebrin::frame::Guarded(0, [&] {
    if (env == nullptr || adapters == nullptr) return 0;
    int count = 0;
    for (int i = 0; i < ValidEntries(*env); ++i) {
      if (FieldIs(adapters[i].MediaSubType, u"air")) ++count;
    }
    return count;
  });
}

int CNetInfoRetrieve::CheckInfoChangeStatus(EnvInfoStr* first, AdapterInfoStr* firstAdapters,
                                            EnvInfoStr* second, AdapterInfoStr* secondAdapters) {
  return nebrin::frame::Guarded(0, [&] {
    // Without the four records there is nothing to classify: 0, none of the codes.
    if (first == nullptr || firstAdapters == nullptr || second == nullptr ||
        secondAdapters == nullptr) {
      return 0;
    }
    const bool profileChange = !SameField(first->ProfileName, second->ProfileName) ||
                               first->IconIndex != second->IconIndex ||
                               first->bDefaultPrinterFlag != second->bDefaultPrinterFlag ||
                               !SameField(first->strPrinterName, second->strPrinterName);

    // Only the first profile's entries are compared; extra entries of the second go unnoticed.
    bool adapterChange = false;
    for (int i = 0; i < ValidEntries(*first) && !adapterChange; ++i) {
      adapterChange = AdapterSettingsDiffer(firstAdapters[i], secondAdapters[i]);
    }

    const bool firewallChange = second->nICSFlag == 1 && first->bICFFlag != second->bICFFlag;

    if (adapterChange) return firewallChange ? 73 : 71;
    if (profileChange) return firewallChange ? 74 : 70;
    return firewallChange ? 75 : 72;
  });
}
