// On Linux the host runs the library against a simulated machine kept in a machine file. A
// command holds the machine file's lock from loading to saving, so commands started side by side
// run one after another and none undoes another's changes.
#include <CLI/CLI.hpp>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <stdexcept>

#include "host_session.h"
#include "import_journal.h"
#include "machine_commands.h"
#include "machine_lock.h"
#include "nebrin/platform_install.h"
#include "platform/sim/machine.h"

namespace nebrin::host {
namespace {

class SimSession final : public HostSession {
 public:
  SimSession(std::filesystem::path file, std::unique_ptr<MachineLock> lock,
             std::shared_ptr<sim::Machine> machine)
      : file_(std::move(file)), lock_(std::move(lock)), machine_(std::move(machine)) {
    InstallPlatform(machine_);
  }
  ~SimSession() override { InstallPlatform(nullptr); }
  void Commit() override { machine_->Save(file_); }
  void CommitRefresh() override {
    try {
      machine_->Save(file_);
    } catch (const std::exception& e) {
      if (!warned_) {
        std::cerr << "nebrin: note: the DHCP leases read for this command were not saved to the "
                     "machine file ("
                  << e.what() << ")\n";
      }
      warned_ = true;
    }
  }

 private:
  std::filesystem::path file_;
  std::unique_ptr<MachineLock> lock_;  // released after the machine is uninstalled and saved
  std::shared_ptr<sim::Machine> machine_;
  bool warned_ = false;
};

// No simulated machine: the library uses Linux's own services (real raw ICMP sockets and
// libcurl; failures for the Windows-only services).
class NativeSession final : public HostSession {
 public:
  NativeSession() { InstallPlatform(nullptr); }
  void Commit() override {}
  void CommitRefresh() override {}
};

}  // namespace

std::filesystem::path MachineFile(const HostOptions& options) {
  if (!options.machinePath.empty()) return options.machinePath;
  std::filesystem::path state;
  if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg != nullptr && *xdg != '\0') {
    state = xdg;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    state = std::filesystem::path(home) / ".local" / "state";
  } else {
    throw std::runtime_error("no machine file given (--machine) and neither XDG_STATE_HOME nor HOME is set");
  }
  return state / "nebrin" / "machine.json";
}

std::filesystem::path ImportJournalPath(const HostOptions& options) {
  std::filesystem::path journal = sim::Machine::SavedPath(MachineFile(options));
  journal += ".import-journal";
  return journal;
}

std::unique_ptr<HostSession> OpenSession(const HostOptions& options) {
  if (options.native) return std::make_unique<NativeSession>();
  const std::filesystem::path file = MachineFile(options);
  auto lock = std::make_unique<MachineLock>(file, std::cerr);
  sim::Machine::RemoveStaleTemporaries(file);
  std::error_code error;
  std::shared_ptr<sim::Machine> machine;
  if (!std::filesystem::exists(file, error)) {
    // First use: the default machine is the demo machine.
    machine = sim::Machine::Demo();
    machine->Save(file);
  } else {
    machine = sim::Machine::Load(file);
  }
  auto session = std::make_unique<SimSession>(file, std::move(lock), machine);
  RecoverInterruptedImport(ImportJournalPath(options), *ImportOwnership::Take(), *session,
                           std::cerr);
  return session;
}

void AddSessionOptions(CLI::App& app, HostOptions& options) {
  app.add_option("--machine", options.machinePath,
                 "Simulated machine file (default: $XDG_STATE_HOME/nebrin/machine.json, created "
                 "from the demo machine on first use)");
  app.add_flag("--native", options.native,
               "Run against Linux's own services instead of a simulated machine (real echo "
               "tests and URL probes; raw ICMP sockets need root or CAP_NET_RAW)");
  AddMachineCommands(app, options);
}

}  // namespace nebrin::host
