#include "apply_commands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <string>

#include "host_profile.h"
#include "script_file.h"

namespace nebrin::host {
namespace {

const char* Meaning(int code) {
  switch (code) {
    case 18: return "the address script could not be written, or the network shell did not start";
    case 19: return "the new settings were not confirmed, or the last applied profile was not recorded";
    case 21: return "profile applied";
    case 25: return "the machine-wide wireless key could not be removed";
    default: return "unexpected result";
  }
}

// Loads a profile and refuses one that needs connection sharing, which this host cannot apply
// yet.
HostProfile LoadPlainProfile(int number) {
  HostProfile p;
  if (!LoadProfile(number, p)) RefuseUnloadable(number);
  if (p.env.nICSFlag == 1 || p.env.nICSFlag == 2) {
    throw Refusal("profile " + std::to_string(number) + " shares a connection (" +
                  (p.env.nICSFlag == 1 ? "sharing host" : "sharing client") +
                  "); applying sharing profiles is not available yet, so nothing was changed");
  }
  return p;
}

void RunApply(const HostOptions& options, const std::string& typed) {
  const int number = ProfileNumber(typed);
  auto session = OpenSession(options);
  HostProfile p = LoadPlainProfile(number);
  auto netsh = WideParam("netsh.exe");
  if (CNetInfoManage().CheckOSStatus(netsh.data()) == 1) {
    std::cout << "A netsh.exe process is running; after the script is written the library waits "
                 "until no netsh.exe runs any more.\n";
  }
  std::cout << "Writing ip.txt, then running \"netsh -f ip.txt\" and waiting for it to finish and "
               "for every netsh.exe to end...\n"
            << std::flush;
  const std::size_t reported = NetworkShellOutput().size();
  const int code = CNetInfoManage().NormalSetup(&p.env, p.adapters);
  const std::vector<std::string> output = NetworkShellOutput();
  session->Commit();
  for (std::size_t i = reported; i < output.size(); ++i) {
    std::cout << "netsh: " << output[i] << "\n";
  }
  std::cout << "Result " << code << ": " << Meaning(code) << ".\n";
  if (code != 21) throw Refusal("profile " + std::to_string(number) + " was not fully applied");
}

void RunScript(const HostOptions& options, const std::string& typed) {
  const int number = ProfileNumber(typed);
  auto session = OpenSession(options);
  HostProfile p = LoadPlainProfile(number);
  CNetInfoManage manage;
  bool written = manage.MakeInitialPartInIPTxt() == 1;
  for (int i = 0; written && i < p.env.AdapterCount; ++i) {
    const NebrinChar* mode = p.adapters[i].DhcpEnabled;
    const bool dhcp = mode[0] == 'y' && mode[1] == 'e' && mode[2] == 's' && mode[3] == 0;
    written = (dhcp ? manage.MakeDHCPPartInIPTxt(&p.env, p.adapters, i)
                    : manage.MakeStaticPartInIPTxt(&p.env, p.adapters, i)) == 1;
  }
  written = written && manage.MakeEndPartInIPTxt() == 1;
  const auto script = ReadScriptFile();
  session->Commit();
  if (!written) {
    throw Refusal("the address script for profile " + std::to_string(number) +
                  " could not be written (a text in the profile would change the script, or "
                  "ip.txt cannot be written)");
  }
  std::cout << script.value_or("");
}

}  // namespace

void AddApplyCommands(CLI::App& app, HostOptions& options) {
  static std::string applyNumber;
  CLI::App* apply = app.add_subcommand(
      "apply", "Apply a stored profile's addresses (profiles without connection sharing)");
  apply->add_option("number", applyNumber, "Profile number")->required();
  apply->callback([&options] { RunApply(options, applyNumber); });

  static std::string scriptNumber;
  CLI::App* script = app.add_subcommand(
      "script", "Write and show the address script ip.txt of a profile without running it");
  script->add_option("number", scriptNumber, "Profile number")->required();
  script->callback([&options] { RunScript(options, scriptNumber); });
}

}  // namespace nebrin::host
