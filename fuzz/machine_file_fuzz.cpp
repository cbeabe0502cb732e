// Fuzz target: machine files. The fuzzer's bytes are read as the JSON text of a machine file.
// Reading either gives a machine or refuses the file with a MachineFileError; a machine read
// writes back to a text that reads again to the same text. The library's members then run on
// the machine the file describes: discovery and the catalogue, the services in its service
// database, its printers, its connections and its ad hoc tool.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "NebrinCoreDll.h"
#include "fuzz_support.h"
#include "platform/sim/sim_text.h"

namespace nebrin::fuzz {
namespace {

// A wireless member's status: 0 or positive for success, HRESULT_FROM_WIN32 of a failed call.
void RequireServiceStatus(int status, std::string_view member) {
  const auto bits = static_cast<std::uint32_t>(status);
  Require(status >= 0 || (bits & 0xFFFF0000u) == 0x80070000u, member);
}

void RunMembers(sim::Machine& machine) {
  CNetInfoRetrieve retrieve;
  CNetInfoManage manage;
  CWLanControl wlan;

  HeapProfile p;
  Empty(p);
  RequireResult(retrieve.IPRetrieve(p.env.get(), p.adapters.get()), {0, 1}, "IPRetrieve");
  RequireNothingOpen(machine, "IPRetrieve");
  Require(AllTextsTerminated(p), "captured texts are terminated");
  for (int i = 0; i < p.env->AdapterCount && i < 2; ++i) {
    HeapProfile q = p;
    RequireResult(CNetDiag().CheckOutCableConnection(q.env.get(), q.adapters.get(), i), {0, 1},
                  "CheckOutCableConnection");
    RequireNothingOpen(machine, "CheckOutCableConnection");
  }

  const int count = retrieve.GetProfileCount();
  Require(count >= 0, "GetProfileCount is not negative");
  std::vector<NameIndex> entries(static_cast<std::size_t>(count) + 1);
  RequireResult(retrieve.GetNameIndexInfo(entries.data(), count + 1), {0, 1}, "GetNameIndexInfo");
  HeapProfile current;
  Empty(current);
  RequireResult(retrieve.GetCurrentProfileInfo(current.env.get(), current.adapters.get()), {0, 1},
                "GetCurrentProfileInfo");
  RequireNothingOpen(machine, "the catalogue");

  RequireResult(wlan.CheckWZCStatus(1), {0, 1}, "CheckWZCStatus");
  RequireResult(wlan.CheckNebrinWLANStatus(), {0, 1}, "CheckNebrinWLANStatus");
  RequireServiceStatus(wlan.StartPDService(), "StartPDService");
  RequireServiceStatus(wlan.StopWZCService(), "StopWZCService");
  RequireServiceStatus(wlan.StartWZCService(), "StartWZCService");
  std::u16string service = u"C:\\Program Files\\Nebrin\\NebrinSvc.exe";
  RequireResult(wlan.InstallWLANService(service.data()), {0, 1}, "InstallWLANService");
  RequireResult(wlan.DeleteWLANService(), {0, 1}, "DeleteWLANService");
  RequireNothingOpen(machine, "the service members");

  const int printers = retrieve.GetTotalPrtCount();
  Require(printers >= 0, "GetTotalPrtCount is not negative");
  int filled = printers;
  std::vector<PrinterInfostr> list(static_cast<std::size_t>(printers));
  RequireResult(retrieve.GetTotoalPrinterInfo(filled, list.data()), {0, 1}, "GetTotoalPrinterInfo");
  Require(filled <= printers, "GetTotoalPrinterInfo fills no more than it was given room for");
  RequireNothingOpen(machine, "the printer members");

  if (!machine.network_connections().empty()) {
    std::u16string name = sim::Utf8ToUtf16(machine.network_connections().front().name);
    RequireResult(wlan.OnAp(name.data()), {0, 1}, "OnAp");
    RequireNothingOpen(machine, "OnAp");
  }
  NebrinHandle device = nullptr;
  RequireResult(wlan.MakeOneClickAdHoc(device, p.env.get()), {22, 23, 27}, "MakeOneClickAdHoc");
  RequireNothingOpen(machine, "MakeOneClickAdHoc");

  // The companion driver as the file describes it: its device, and a captured adapter bound and
  // switched to an ad hoc network.
  RequireResult(wlan.CheckPDDriverExist(), {0, 1}, "CheckPDDriverExist");
  RequireNothingOpen(machine, "CheckPDDriverExist");
  if (p.env->AdapterCount > 0) {
    std::u16string ssid = u"Nebrin";
    std::u16string key = u"0123456789";
    const int opened = wlan.OpenDevice(p.adapters[0].AdapterName, device);
    RequireDriverStatus(opened, "OpenDevice");
    if (opened == 0) {
      RequireDriverStatus(wlan.SwitchToAdHoc(device, ssid.data(), key.data(), 1), "SwitchToAdHoc");
      CloseDevice(machine, device);
    }
    RequireNothingOpen(machine, "the driver requests");
  }
}

void Run(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::shared_ptr<sim::Machine> machine;
  try {
    machine = sim::Machine::FromJsonText(text);
  } catch (const sim::MachineFileError&) {
    return;  // a damaged file is refused with its problem
  }
  Require(machine != nullptr, "a machine file that reads gives a machine");
  // What a machine writes, it reads back as the same machine.
  const std::string written = machine->ToJsonText();
  std::shared_ptr<sim::Machine> again;
  try {
    again = sim::Machine::FromJsonText(written);
  } catch (const sim::MachineFileError& e) {
    Require(false, std::string("a machine's own file reads again: ") + e.what());
  }
  Require(again->ToJsonText() == written, "a machine's own file reads as the same machine");

  // The members send nothing to the real network, whatever the file says.
  machine->network().real = false;
  RequireNothingOpen(*machine, "reading the file");
  Installed installed(machine);
  RunMembers(*machine);
}

}  // namespace
}  // namespace nebrin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  nebrin::fuzz::Run(data, size);
  return 0;
}
