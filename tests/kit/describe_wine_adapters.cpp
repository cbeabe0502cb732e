// Writes, for every adapter Wine's IP Helper lists, the registry keys an installed Windows has for
// it (its TCP/IP interface, its network connection, its device), so that a host's capture keeps
// it: Wine's registry has none of them. Half the adapters are described as wired, half as
// wireless. Exit status 0 when every adapter was described, 1 otherwise (also when Wine lists
// none: a host run on no adapter would check nothing).
#include <cstdio>
#include <string>
#include <vector>

#include "registry_fixture.h"

using nebrin::win32_test::CreateMachineKey;
using nebrin::win32_test::ListAdapters;
using nebrin::win32_test::SetNumber;
using nebrin::win32_test::SetText;
using nebrin::win32_test::SetTexts;
using nebrin::win32_test::UniqueHkey;

namespace {

const std::wstring kInterfaces = L"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";
const std::wstring kNetwork =
    L"SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";
const std::wstring kDeviceInstance = L"PCI\\VEN_1234&DEV_0003\\";

bool Describe(const std::wstring& guid, int number) {
  const std::wstring n = std::to_wstring(number);
  UniqueHkey key;
  bool ok = CreateMachineKey(kInterfaces + guid, key) == ERROR_SUCCESS &&
            SetTexts(key.get(), L"IPAddress", {L"10.20." + n + L".7"}) == ERROR_SUCCESS &&
            SetTexts(key.get(), L"SubnetMask", {L"255.255.255.0"}) == ERROR_SUCCESS &&
            SetTexts(key.get(), L"DefaultGateway", {L"10.20." + n + L".1"}) == ERROR_SUCCESS &&
            SetText(key.get(), L"NameServer", L"10.20.0.53") == ERROR_SUCCESS &&
            SetText(key.get(), L"DhcpSubnetMask", L"255.255.255.0") == ERROR_SUCCESS &&
            SetText(key.get(), L"DhcpNameServer", L"10.20.0.53") == ERROR_SUCCESS &&
            SetNumber(key.get(), L"InterfaceMetric", 20) == ERROR_SUCCESS;
  ok = ok && CreateMachineKey(kNetwork + guid + L"\\Connection", key) == ERROR_SUCCESS &&
       SetText(key.get(), L"Name", L"Example connection " + n) == ERROR_SUCCESS &&
       SetText(key.get(), L"PnpInstanceID", kDeviceInstance + n) == ERROR_SUCCESS &&
       SetNumber(key.get(), L"MediaSubType", number % 2 == 1 ? 1 : 2) == ERROR_SUCCESS;
  ok = ok &&
       CreateMachineKey(L"SYSTEM\\CurrentControlSet\\Enum\\" + kDeviceInstance + n, key) ==
           ERROR_SUCCESS &&
       SetText(key.get(), L"Service", L"e1000") == ERROR_SUCCESS &&
       SetText(key.get(), L"DeviceDesc", L"Example adapter " + n) == ERROR_SUCCESS;
  return ok;
}

}  // namespace

int main() {
  DWORD status = 0;
  const std::vector<nebrin::win32_test::ListedAdapter> adapters = ListAdapters(status);
  if (adapters.empty()) {
    std::printf("Wine's IP Helper lists no adapter (status %lu)\n", status);
    return 1;
  }
  int number = 1;
  bool ok = true;
  for (const auto& adapter : adapters) {
    const bool described = Describe(adapter.guid, number);
    std::printf("%s adapter %d %ls (%s)\n", described ? "described" : "FAILED to describe", number,
                adapter.guid.c_str(), adapter.dhcp ? "DHCP" : "static");
    ok = ok && described;
    ++number;
  }
  return ok ? 0 : 1;
}
