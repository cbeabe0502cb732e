// The profiles the store's process tests save, shared by the test and its writer program: adapters
// that are not this machine's (a DHCP one finds no lease, so loading it changes nothing).
#pragma once

#include <cwchar>

#include "NebrinCoreDll.h"

namespace nebrin::win32_test {

struct StoreRecords {
  EnvInfoStr env;
  AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS];
};

template <std::size_t N>
void PutText(wchar_t (&field)[N], const wchar_t* text) {
  std::wcsncpy(field, text, N - 1);
  field[N - 1] = 0;
}

// `role`: 0 no sharing, 1 sharing host with a private wireless network and a printer, 2 client.
inline StoreRecords MakeRecords(const wchar_t* name, int role) {
  StoreRecords r;
  CCommonFtn().InitStructure(&r.env, r.adapters);
  PutText(r.env.ProfileName, name);
  r.env.IconIndex = 4;
  r.env.AdapterCount = 2;
  r.env.nICSFlag = role;
  if (role != 0) {
    r.env.bICFFlag = 1;
    r.env.bPrivateWlan = 1;
    r.env.bWLANWebKeyUse = 1;
    r.env.bDefaultPrinterFlag = 1;
    PutText(r.env.strPrinterName, L"Laser");
    PutText(r.env.strPublicDevGUID, L"{BBBBBBBB-0000-0000-0000-000000000001}");
    PutText(r.env.strPrivateDevGUID, L"{BBBBBBBB-0000-0000-0000-000000000002}");
    PutText(r.env.strWLANConnectionName, L"adhoc");
    PutText(r.env.strWLANPassWord, L"secret");
  }
  AdapterInfoStr& wired = r.adapters[0];
  PutText(wired.DhcpEnabled, L"yes");
  PutText(wired.IpAddressList, L"192.168.1.34");
  PutText(wired.SubnetMask, L"255.255.255.0");
  PutText(wired.ConnectionName, L"Local Area Connection");
  PutText(wired.DeviceDesc, L"Wired Card");
  PutText(wired.MediaSubType, L"line");
  PutText(wired.AdapterName, L"{BBBBBBBB-0000-0000-0000-000000000001}");
  AdapterInfoStr& wireless = r.adapters[1];
  PutText(wireless.DhcpEnabled, L"no");
  PutText(wireless.IpAddressList, L"10.0.0.5");
  PutText(wireless.SubnetMask, L"255.255.255.0");
  PutText(wireless.GatewayList, L"10.0.0.1");
  PutText(wireless.PrimaryDnsServer, L"10.0.0.1");
  PutText(wireless.ConnectionName, L"Wireless Network Connection");
  PutText(wireless.DeviceDesc, L"Wireless Card");
  PutText(wireless.MediaSubType, L"air");
  PutText(wireless.AdapterName, L"{BBBBBBBB-0000-0000-0000-000000000002}");
  PutText(wireless.Metric, L"20");
  return r;
}

// The edit the kill test's rewrite makes of profile `number`: the DHCP adapter becomes static,
// sharing is switched off and the name kept.
inline StoreRecords EditedRecords(const wchar_t* name, int number) {
  StoreRecords r = MakeRecords(name, 0);
  PutText(r.adapters[0].DhcpEnabled, L"no");
  PutText(r.adapters[0].GatewayList, L"192.168.1.1");
  PutText(r.adapters[0].Metric, L"30");
  r.env.nProfileKey = number;
  return r;
}

}  // namespace nebrin::win32_test
