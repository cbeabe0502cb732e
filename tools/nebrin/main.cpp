// nebrin: a command-line host for the NebrinCoreDll library.
#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "adapters_command.h"
#include "apply_commands.h"
#include "command_line.h"
#include "console_output.h"
#include "diag_commands.h"
#include "host_session.h"
#include "nebrin_version.h"
#include "printer_commands.h"
#include "profile_commands.h"
#include "profile_file_commands.h"
#include "sharing_commands.h"
#include "wireless_commands.h"

int main(int argc, char** argv) {
  const nebrin::host::ConsoleOutput output;
  std::vector<std::string> args;
  try {
    args = nebrin::host::CommandLineUtf8(argc, argv);
  } catch (const std::runtime_error& e) {
    std::cerr << "nebrin: " << e.what() << "\n";
    return 1;
  }
  std::vector<char*> pointers;
  for (std::string& arg : args) pointers.push_back(arg.data());
  CLI::App app{"nebrin: capture, store and apply network profiles with NebrinCoreDll"};
  app.require_subcommand(1);
  app.set_version_flag("--version", std::string("nebrin ") + NEBRIN_VERSION_TEXT,
                       "print the version and exit");
  nebrin::host::HostOptions options;
  nebrin::host::AddSessionOptions(app, options);
  nebrin::host::AddAdaptersCommand(app, options);
  nebrin::host::AddProfileCommands(app, options);
  nebrin::host::AddProfileFileCommands(app, options);
  nebrin::host::AddApplyCommands(app, options);
  nebrin::host::AddSharingCommands(app, options);
  nebrin::host::AddDiagCommands(app, options);
  nebrin::host::AddPrinterCommands(app, options);
  nebrin::host::AddWirelessCommands(app, options);
  try {
    app.parse(static_cast<int>(pointers.size()), pointers.data());
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  } catch (const std::exception& e) {
    std::cerr << "nebrin: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
