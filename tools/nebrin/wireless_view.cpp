#include "wireless_view.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/sim/sim_network_config.h"
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

std::string AuthenticationWords(std::uint32_t mode) {
  static const char* const kNames[] = {"open",     "shared", "automatic switch", "WPA", "WPA-PSK",
                                       "WPA-None", "WPA2",   "WPA2-PSK"};
  return mode < 8 ? kNames[mode] : std::to_string(mode);
}

std::string WepWords(std::uint32_t status) {
  static const char* const kNames[] = {"WEP enabled",   "disabled",      "WEP key absent",
                                       "not supported", "TKIP enabled",  "TKIP key absent",
                                       "AES enabled",   "AES key absent"};
  return status < 8 ? kNames[status] : std::to_string(status);
}

// Printable ASCII in quotes, anything else as hexadecimal bytes.
std::string BytesWords(const std::vector<std::uint8_t>& bytes) {
  const bool printable =
      std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b >= 0x20 && b < 0x7F; });
  if (printable) return "\"" + std::string(bytes.begin(), bytes.end()) + "\"";
  std::string hex = "hex ";
  static constexpr char kDigits[] = "0123456789abcdef";
  for (std::uint8_t b : bytes) {
    hex.push_back(kDigits[b >> 4]);
    hex.push_back(kDigits[b & 0xF]);
  }
  return hex;
}

std::string RequestName(std::uint32_t code) {
  switch (code) {
    case 0x0012C800:
      return "open-device";
    case 0x0012C810:
      return "bind-wait";
    case 0x0012C814:
      return "set-OID";
    default:
      return std::to_string(code);
  }
}

void PrintDriverAndConfiguration(const sim::Machine& machine, std::ostream& out) {
  const auto& requests = machine.driver_state().requests;
  out << "\nDriver requests: " << requests.size();
  constexpr std::size_t kShown = 8;
  if (requests.size() > kShown) out << " (the last " << kShown << ")";
  out << "\n";
  for (std::size_t i = requests.size() > kShown ? requests.size() - kShown : 0; i < requests.size();
       ++i) {
    const sim::DriverRequest& r = requests[i];
    out << "  " << RequestName(r.code);
    // A set request names its object identifier in its first four bytes.
    if (r.code == 0x0012C814 && r.input.size() >= 4) {
      char oid[16];
      std::snprintf(oid, sizeof(oid), " 0x%02X%02X%02X%02X", r.input[3], r.input[2], r.input[1],
                    r.input[0]);
      out << oid;
    }
    out << "  " << (r.adapter.empty() ? "-" : r.adapter) << "  " << r.input.size() << " bytes  "
        << (r.error == 0 ? "ok" : "error " + std::to_string(r.error)) << "\n";
  }

  const sim::NetCfgState& config = machine.network_configuration();
  out << "\nNetwork configuration\n"
      << "  Write lock held by   "
      << (config.writeLockHeldBy.empty() ? "nobody" : "\"" + config.writeLockHeldBy + "\"")
      << "\n  Components           ";
  if (config.components.empty()) out << "(none)";
  for (std::size_t i = 0; i < config.components.size(); ++i) {
    out << (i == 0 ? "" : ", ") << config.components[i].id;
  }
  out << "\n  Setup files (" << sim::SetupFileFolder(machine.process_state().systemDirectory)
      << ")";
  if (config.setupFiles.empty()) out << "  (none)";
  out << "\n";
  for (const sim::SimSetupFile& file : config.setupFiles) {
    out << "    " << file.name << "  from " << file.source << "\n";
  }
}

}  // namespace

void PrintWirelessAdapters(const sim::Machine& machine, std::ostream& out) {
  std::size_t count = 0;
  for (const sim::ListedAdapter& adapter : machine.listed_adapters()) count += adapter.type == 71;
  out << "\nWireless adapters: " << count << "\n";
  for (const sim::ListedAdapter& adapter : machine.listed_adapters()) {
    if (adapter.type != 71) continue;
    const auto found = machine.wireless_state().find(adapter.guid);
    const sim::SimWirelessAdapter state =
        found == machine.wireless_state().end() ? sim::SimWirelessAdapter{} : found->second;
    const auto name = machine.GetString(sim::kHklm, sim::ConnectionKey(adapter.guid), "Name");
    std::string keys;
    for (const auto& [index, material] : state.keys) {
      if (!keys.empty()) keys += ", ";
      keys += std::to_string(index) + ": " + std::to_string(material.size()) + " bytes";
      if (state.transmitKey == index) keys += ", transmit key";
    }
    std::string inRange;
    for (const std::string& ssid : state.inRange)
      inRange += (inRange.empty() ? "\"" : ", \"") + ssid + "\"";
    out << name.value_or("-") << "  " << adapter.guid << "\n"
        << "  802.11 mode     " << ModeWords(state.mode) << "\n"
        << "  Authentication  " << AuthenticationWords(state.authentication) << "\n"
        << "  Encryption      " << WepWords(state.wepStatus) << "\n"
        << "  WEP keys        " << (keys.empty() ? "(none)" : keys) << "\n"
        << "  SSID            " << (state.ssid.empty() ? "(none)" : BytesWords(state.ssid)) << "\n"
        << "  Associated      " << (state.associated ? "yes" : "no") << "\n"
        << "  In reach        " << (inRange.empty() ? "(no access point)" : inRange) << "\n";
  }
}

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

  PrintWirelessAdapters(machine, out);
  const auto& commands = machine.shell_state().menuCommands;
  out << "Connection menu commands invoked: " << commands.size() << "\n";
  for (const sim::MenuCommand& command : commands) {
    out << "  \"" << command.connection << "\" offset " << command.offset << "\n";
  }
  PrintDriverAndConfiguration(machine, out);
}

}  // namespace nebrin::host
