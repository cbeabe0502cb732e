// Fuzz target: scripts run by the simulated network shell. The fuzzer's bytes are "ip.txt" in
// the host's working directory when "netsh -f ip.txt" starts on the demo machine; the first byte
// chooses the code pages the shell decodes it with. Whatever the script holds, the shell must
// leave a machine whose adapters the library can still read and whose machine file reads back
// as the same machine.
#include <cstdint>
#include <string>

#include "NebrinCoreDll.h"
#include "fuzz_support.h"
#include "platform/process_handle.h"

namespace nebrin::fuzz {
namespace {

void Run(const std::uint8_t* data, std::size_t size) {
  auto machine = StoredDemo();
  Installed installed(machine);
  // 852 (and 866 on a Tablet PC) make the shell read the OEM page, the others the ANSI page.
  static constexpr std::uint32_t kOem[] = {437, 852, 866, 850};
  static constexpr std::uint32_t kAnsi[] = {1252, 1250, 1251, 932};
  const std::uint8_t choice = size > 0 ? data[0] : 0;
  sim::SystemState& system = machine->system_state();
  system.oemCodePage = kOem[choice & 3];
  system.ansiCodePage = kAnsi[(choice >> 2) & 3];
  system.tabletPc = (choice & 16) != 0;
  const std::string script(reinterpret_cast<const char*>(data) + (size > 0 ? 1 : 0),
                           size > 0 ? size - 1 : 0);
  auto& processState = machine->process_state();
  machine->file_state().files[processState.currentDirectory + "\\ip.txt"] = script;

  {
    platform::Processes& processes = machine->processes();
    platform::ProcessHandle process = platform::kNoProcess;
    platform::ProcessHandle thread = platform::kNoProcess;
    const platform::Status started =
        processes.StartProcess(u"C:\\WINDOWS\\system32\\netsh.exe", u"netsh -f ip.txt",
                               platform::kSwHide, process, thread);
    Require(started == platform::kSuccess, "the network shell starts");
    platform::UniqueProcessHandle ownedProcess(processes, process);
    platform::UniqueProcessHandle ownedThread(processes, thread);
  }
  RequireNothingOpen(*machine, "the network shell");

  const std::string written = machine->ToJsonText();
  Require(sim::Machine::FromJsonText(written)->ToJsonText() == written,
          "the machine the shell left reads back as the same machine");

  // The library reads the adapters the shell changed and confirms a stored profile against them.
  CNetInfoRetrieve retrieve;
  HeapProfile captured;
  Empty(captured);
  RequireResult(retrieve.IPRetrieve(captured.env.get(), captured.adapters.get()), {0, 1},
                "IPRetrieve");
  RequireNothingOpen(*machine, "IPRetrieve");
  Require(AllTextsTerminated(captured), "captured texts are terminated");
  HeapProfile office;
  Empty(office);
  RequireResult(retrieve.GetInfoFromRegistry(0, office.env.get(), office.adapters.get()), {0, 1},
                "GetInfoFromRegistry");
  RequireResult(CNetInfoManage().GetChangeStatus(office.env.get(), office.adapters.get()), {0, 1},
                "GetChangeStatus");
  RequireNothingOpen(*machine, "GetChangeStatus");
}

}  // namespace
}  // namespace nebrin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  nebrin::fuzz::Run(data, size);
  return 0;
}
