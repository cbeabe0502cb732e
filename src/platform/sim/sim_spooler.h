// The simulated machine's print spooler and command runner.
#pragma once

#include "platform/shell.h"
#include "platform/sim/machine.h"
#include "platform/spooler.h"

namespace nebrin::sim {

class SimSpooler final : public platform::Spooler {
 public:
  explicit SimSpooler(Machine::State& machine) : machine_(machine) {}

  Status EnumeratePrinters(std::uint32_t flags, std::vector<std::u16string>& names) override;
  Status GetDefaultPrinter(std::uint32_t capacity, std::u16string& name) override;
  Status SetDefaultPrinter(std::u16string_view name) override;

 private:
  Machine::State& machine_;
};

// WinExec records each command line and its show command on the machine and reports the
// program as started.
class SimShell final : public platform::Shell {
 public:
  explicit SimShell(Machine::State& machine) : machine_(machine) {}

  std::uint32_t WinExec(std::string_view commandLine, std::uint32_t showCommand) override;
  // Defined in sim_shell_paths.cpp.
  platform::HResult FolderPath(int csidl, std::uint32_t flags, std::u16string& path) override;
  bool AppendPath(std::u16string& path, std::u16string_view more) override;

 private:
  Machine::State& machine_;
};

}  // namespace nebrin::sim
