#include "platform/sim/sim_spooler.h"

#include <new>

#include "platform/sim/machine_state.h"
#include "platform/sim/sim_text.h"

namespace nebrin::sim {
// Every simulated printer is a local one, so both enumeration flags list them all.
Status SimSpooler::EnumeratePrinters(std::uint32_t, std::vector<std::u16string>& names) {
  try {
    if (Status fault = machine_.accounting.Enter(Service::Spooler)) return fault;
    std::vector<std::u16string> listed;
    for (const auto& printer : machine_.printers.installed) listed.push_back(Utf8ToUtf16(printer));
    names = std::move(listed);
    return platform::kSuccess;
  } catch (const std::bad_alloc&) {
    return platform::kNotEnoughMemory;
  }
}

Status SimSpooler::GetDefaultPrinter(std::uint32_t capacity, std::u16string& name) {
  try {
    if (Status fault = machine_.accounting.Enter(Service::Spooler)) return fault;
    if (!machine_.printers.defaultPrinter) return platform::kFileNotFound;
    std::u16string text = Utf8ToUtf16(*machine_.printers.defaultPrinter);
    if (text.size() + 1 > capacity) return platform::kInsufficientBuffer;
    name = std::move(text);
    return platform::kSuccess;
  } catch (const std::bad_alloc&) {
    return platform::kNotEnoughMemory;
  }
}

Status SimSpooler::SetDefaultPrinter(std::u16string_view name) {
  try {
    if (Status fault = machine_.accounting.Enter(Service::Spooler)) return fault;
    for (const auto& printer : machine_.printers.installed) {
      // Printer names compare without regard to case, as the spooler compares them.
      if (SameName(Utf8ToUtf16(printer), name)) {
        machine_.printers.defaultPrinter = printer;
        return platform::kSuccess;
      }
    }
    return platform::kInvalidPrinterName;
  } catch (const std::bad_alloc&) {
    return platform::kNotEnoughMemory;
  }
}

std::uint32_t SimShell::WinExec(std::string_view commandLine, std::uint32_t showCommand) {
  constexpr std::uint32_t kStarted = 33;  // any value above 31
  try {
    // A planned failure answers as WinExec's errors do: below 32 (0, out of resources).
    if (Status fault = machine_.accounting.Enter(Service::Shell)) return fault < 32 ? fault : 0;
    machine_.commandsRun.push_back(CommandRun{std::string(commandLine), showCommand});
    return kStarted;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

}  // namespace nebrin::sim
