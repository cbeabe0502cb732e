#include "wireless_view.h"

#include <string>

#include "table.h"

namespace nebrin::host {
namespace {

std::string TypeWords(std::uint32_t type) {
  switch (type) {
    case 0x01:
      return "kernel driver";
    case 0x02:
      return "file system driver";
    case 0x10:
      return "own process";
    case 0x20:
      return "shared process";
    default:
      return std::to_string(type);
  }
}

std::string StartWords(std::uint32_t start) {
  switch (start) {
    case 0:
      return "boot";
    case 1:
      return "system";
    case 2:
      return "automatic";
    case 3:
      return "on demand";
    case 4:
      return "disabled";
    default:
      return std::to_string(start);
  }
}

std::string StateWords(const sim::SimService& service) {
  std::string words;
  switch (service.state) {
    case 1:
      words = "stopped";
      break;
    case 2:
      words = "start pending";
      break;
    case 3:
      words = "stop pending";
      break;
    case 4:
      words = "running";
      break;
    default:
      words = std::to_string(service.state);
  }
  if (service.settlesAtTick)
    words += " (settles at tick " + std::to_string(*service.settlesAtTick) + ")";
  if (service.markedForDeletion) words += ", marked for deletion";
  return words;
}

std::string ModeWords(sim::WirelessMode mode) {
  switch (mode) {
    case sim::WirelessMode::AdHoc:
      return "ad hoc";
    case sim::WirelessMode::Infrastructure:
      return "infrastructure";
    case sim::WirelessMode::AutoUnknown:
      return "automatic";
  }
  return "?";
}

}  // namespace

void PrintWirelessState(const sim::Machine& machine, std::ostream& out) {
  out << "\nServices: " << machine.service_table().services.size() << "\n";
  Table services({"Name", "Display name", "Type", "Start", "State", "Executable"});
  for (const sim::SimService& s : machine.service_table().services) {
    services.AddRow({s.name, s.displayName, TypeWords(s.type), StartWords(s.startType),
                     StateWords(s), s.binaryPath});
  }
  services.Print(out);

  out << "\nProgram Files folder  "
      << (machine.shell_state().programFiles.empty() ? "(none)"
                                                     : machine.shell_state().programFiles)
      << "\n";
  const auto& started = machine.process_state().started;
  out << "Programs started: " << started.size() << (started.empty() ? "\n" : " (oldest first)\n");
  for (const sim::StartedProcess& start : started) {
    out << "  " << start.application << "  [" << start.commandLine << "]  "
        << (start.showCommand == 0 ? std::string("hidden")
                                   : "show command " + std::to_string(start.showCommand))
        << "\n";
  }

  out << "\nWireless adapters\n";
  Table wireless({"Connection", "Adapter", "802.11 mode"});
  for (const sim::ListedAdapter& adapter : machine.listed_adapters()) {
    if (adapter.type != 71) continue;
    const auto state = machine.wireless_state().find(adapter.guid);
    const sim::WirelessMode mode = state == machine.wireless_state().end()
                                       ? sim::WirelessMode::Infrastructure
                                       : state->second.mode;
    const auto name = machine.GetString(sim::kHklm, sim::ConnectionKey(adapter.guid), "Name");
    wireless.AddRow({name.value_or("-"), adapter.guid, ModeWords(mode)});
  }
  wireless.Print(out);

  const auto& commands = machine.shell_state().menuCommands;
  out << "Connection menu commands invoked: " << commands.size() << "\n";
  for (const sim::MenuCommand& command : commands) {
    out << "  \"" << command.connection << "\" offset " << command.offset << "\n";
  }
}

}  // namespace nebrin::host
