#include "machine_commands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <stdexcept>

#include "applied_profile.h"
#include "connection_words.h"
#include "host_paths.h"
#include "host_session.h"
#include "host_text.h"
#include "machine_lock.h"
#include "platform/sim/machine.h"
#include "table.h"
#include "wireless_view.h"

namespace nebrin::host {
namespace {

void InitMachine(const HostOptions& options, bool demo, bool force) {
  const std::filesystem::path file = MachineFile(options);
  const MachineLock lock(file, std::cerr);
  std::error_code error;
  if (std::filesystem::exists(file, error) && !force) {
    throw std::runtime_error(file.string() + " already exists; use --force to replace it");
  }
  auto machine = demo ? sim::Machine::Demo() : std::make_shared<sim::Machine>();
  machine->Save(file);
  // A new machine has no profile in force.
  if (!ForgetAppliedProfile(AppliedProfileFile(options))) {
    throw std::runtime_error(ShownPath(AppliedProfileFile(options)) +
                             " (the copy of the profile applied on the old machine) could not "
                             "be removed");
  }
  // The host's state for the old file goes with it: an import journal would otherwise undo
  // profiles of the new machine. The lock file stays (another command may be waiting on it).
  const std::filesystem::path journal = ImportJournalPath(options);
  std::filesystem::path journalTemporary = journal;
  journalTemporary += ".tmp";
  for (const auto& stale : {journal, journalTemporary}) {
    std::filesystem::remove(stale, error);
    if (error) {
      throw std::runtime_error(stale.string() + " of the old machine could not be removed (" +
                               error.message() + "); remove it before the next command");
    }
  }
  sim::Machine::RemoveStaleTemporaries(file);
  std::cout << "Created " << (demo ? "the demo machine" : "a bare machine") << " in "
            << file.string() << "\n";
}

const char* SharingServiceWords(sim::SharingServiceState state) {
  switch (state) {
    case sim::SharingServiceState::Stopped:
      return "stopped";
    case sim::SharingServiceState::Disabled:
      return "disabled";
    default:
      return "running";
  }
}

std::string Or(const std::string& text, const char* fallback) {
  return text.empty() ? fallback : text;
}

void ShowMachine(const HostOptions& options, bool json) {
  const std::filesystem::path file = MachineFile(options);
  auto machine = sim::Machine::Load(file);
  if (json) {
    std::cout << machine->ToJsonText() << "\n";
    return;
  }
  const sim::SystemState& s = machine->system_state();
  std::cout << "Machine file   " << file.string() << "\n"
            << "Windows        " << s.version.major << "." << s.version.minor << " build "
            << s.version.build << " " << ToUtf8(s.version.servicePack) << "\n"
            << "Tablet PC      " << (s.tabletPc ? "yes" : "no") << "\n"
            << "Code pages     ANSI " << s.ansiCodePage << ", OEM " << s.oemCodePage << "\n"
            << "Administrator  " << (s.administrator ? "yes" : "no") << "\n"
            << "ICS service    " << SharingServiceWords(machine->sharing_service()) << "\n\n";

  std::uint32_t bytes = 0;
  std::vector<platform::AdapterListEntry> entries;
  machine->adapters().QuerySize(bytes);
  machine->adapters().Fill(bytes, entries);
  Table table({"Connection", "Mode", "Address", "Mask", "Gateway", "Device (PnP id)"});
  for (const auto& entry : entries) {
    const std::string connection = sim::ConnectionKey(entry.adapterName);
    const auto pnp = machine->GetString(sim::kHklm, connection, "PnpInstanceID");
    table.AddRow({Or(machine->GetString(sim::kHklm, connection, "Name").value_or(""), "-"),
                  entry.dhcpEnabled ? "DHCP" : "static", entry.ipAddress, entry.ipMask,
                  Or(entry.gateway, "-"), Or(pnp.value_or(""), "-")});
  }
  std::cout << "Adapters in the adapter list: " << entries.size() << "\n";
  table.Print(std::cout);

  const auto& connections = machine->network_connections();
  std::cout << "\nConnections of the sharing manager: " << connections.size() << "\n";
  if (!connections.empty()) {
    Table shared(
        {"Connection", "State", "Device", "Sharing", "Firewall", "Sharing host near", "GUID"});
    for (const auto& c : connections) {
      const char* role = c.sharing == sim::SharingRole::Public
                             ? "public"
                             : (c.sharing == sim::SharingRole::Private ? "private" : "-");
      shared.AddRow({Or(c.name, "-"), ConnectionStatusWords(c.status), Or(c.deviceName, "-"),
                     role, c.firewall ? "on" : "off", c.servedBySharingHost ? "yes" : "no",
                     c.guid});
    }
    shared.Print(std::cout);
  }

  PrintWirelessState(*machine, std::cout);
}

}  // namespace

void AddMachineCommands(CLI::App& app, HostOptions& options) {
  CLI::App* machine = app.add_subcommand("machine", "Create or show the simulated machine");
  machine->require_subcommand(1);

  CLI::App* init = machine->add_subcommand("init", "Create a new machine file");
  auto demo = std::make_shared<bool>(false);
  auto force = std::make_shared<bool>(false);
  init->add_flag("--demo", *demo, "Create the demo machine instead of a bare one");
  init->add_flag("--force", *force, "Replace an existing machine file");
  init->callback([&options, demo, force] { InitMachine(options, *demo, *force); });

  CLI::App* show = machine->add_subcommand("show", "Show the simulated machine");
  auto json = std::make_shared<bool>(false);
  show->add_flag("--json", *json, "Print the machine file's JSON");
  show->callback([&options, json] { ShowMachine(options, *json); });
}

}  // namespace nebrin::host
