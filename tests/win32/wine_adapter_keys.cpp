// Describes the adapters Wine lists the way an installed Windows does, for a script of nebrin.exe:
// Wine writes none of the keys capture reads per adapter. `write` creates, for adapter N (from 1,
// in Wine's order), its TCP/IP interface key with static addresses, its connection key and its
// device key, and prints one line per adapter; `remove` deletes them again.
//
//   wine_adapter_keys.exe (write | remove)
#include <cstdio>
#include <string>

#include "registry_fixture.h"

namespace {

using namespace nebrin::win32_test;

const std::wstring kInterfaces =
    L"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";
const std::wstring kNetwork =
    L"SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";
const std::wstring kDevices = L"SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_1234&DEV_0003";
const std::wstring kDeviceInstances = L"PCI\\VEN_1234&DEV_0003\\";

// The first failed step's result and what it was, for the message.
struct Failure {
  LONG status = ERROR_SUCCESS;
  std::wstring what;
};

bool Step(Failure& failure, LONG status, const std::wstring& what) {
  if (status != ERROR_SUCCESS && failure.status == ERROR_SUCCESS) failure = {status, what};
  return status == ERROR_SUCCESS;
}

void WriteKeys(const ListedAdapter& adapter, int number, Failure& failure) {
  const std::wstring n = std::to_wstring(number);
  UniqueHkey key;
  const std::wstring tcpip = kInterfaces + adapter.guid;
  if (Step(failure, CreateMachineKey(tcpip, key), tcpip)) {
    Step(failure, SetTexts(key.get(), L"IPAddress", {L"10.9." + n + L".7"}), tcpip);
    Step(failure, SetTexts(key.get(), L"SubnetMask", {L"255.255.0.0"}), tcpip);
    Step(failure, SetTexts(key.get(), L"DefaultGateway", {L"10.9." + n + L".254"}), tcpip);
    Step(failure, SetText(key.get(), L"NameServer", L"10.9.8.1,10.9.8.2"), tcpip);
    Step(failure, SetText(key.get(), L"DhcpSubnetMask", L"255.255.255.0"), tcpip);
    Step(failure, SetText(key.get(), L"DhcpNameServer", L"10.9.8.3 10.9.8.4"), tcpip);
    Step(failure, SetNumber(key.get(), L"InterfaceMetric", 30), tcpip);
  }
  const std::wstring connection = kNetwork + adapter.guid + L"\\Connection";
  if (Step(failure, CreateMachineKey(connection, key), connection)) {
    Step(failure, SetText(key.get(), L"Name", L"Wine connection " + n), connection);
    Step(failure, SetText(key.get(), L"PnpInstanceID", kDeviceInstances + n), connection);
    Step(failure, SetNumber(key.get(), L"MediaSubType", 1), connection);  // a wired medium
  }
  const std::wstring device = kDevices + L"\\" + n;
  if (Step(failure, CreateMachineKey(device, key), device)) {
    Step(failure, SetText(key.get(), L"Service", L"e1000"), device);
    Step(failure, SetText(key.get(), L"DeviceDesc", L"Wine adapter " + n), device);
  }
}

void RemoveKeys(const ListedAdapter& adapter, Failure& failure) {
  Step(failure, DeleteMachineTree(kInterfaces + adapter.guid), kInterfaces + adapter.guid);
  Step(failure, DeleteMachineTree(kNetwork + adapter.guid), kNetwork + adapter.guid);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc == 2 ? argv[1] : L"";
  if (mode != L"write" && mode != L"remove") {
    std::fprintf(stderr, "usage: wine_adapter_keys.exe (write | remove)\n");
    return 2;
  }
  DWORD listing = ERROR_SUCCESS;
  const std::vector<ListedAdapter> adapters = ListAdapters(listing);
  if (adapters.empty()) {
    std::fprintf(stderr, "wine_adapter_keys: Wine lists no adapter (GetAdaptersInfo: %lu)\n",
                 static_cast<unsigned long>(listing));
    return 1;
  }
  Failure failure;
  for (std::size_t i = 0; i < adapters.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    if (mode == L"write") {
      WriteKeys(adapters[i], number, failure);
      std::printf("%d %ls %s 10.9.%d.7\n", number, adapters[i].guid.c_str(),
                  adapters[i].dhcp ? "dhcp" : "static", number);
    } else {
      RemoveKeys(adapters[i], failure);
    }
  }
  if (mode == L"remove") Step(failure, DeleteMachineTree(kDevices), kDevices);
  if (failure.status != ERROR_SUCCESS) {
    std::fprintf(stderr, "wine_adapter_keys: %ls: error %ld\n", failure.what.c_str(),
                 static_cast<long>(failure.status));
    return 1;
  }
  return 0;
}
