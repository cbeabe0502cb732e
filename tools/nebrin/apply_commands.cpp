#include "apply_commands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <optional>
#include <string>

#include "apply_progress.h"
#include "host_profile.h"
#include "script_file.h"
#include "store_scan.h"

namespace nebrin::host {
namespace {

const char* Meaning(int code) {
  switch (code) {
    case 0:
      return "the same sharing-host profile is in force with other sharing adapters; nothing was "
             "done";
    case 10:
      return "switching the firewall off on a connection failed";
    case 11:
      return "switching sharing off on a connection failed";
    case 12:
      return "switching the firewall on for the public connection failed";
    case 13:
      return "enabling sharing on the public connection failed";
    case 14:
      return "enabling sharing on the private connection failed";
    case 15:
      return "the sharing manager, a connection's properties or its sharing configuration was not "
             "obtained";
    case 16:
      return "sharing set up";
    case 17:
      return "sharing host set-up incomplete, its addresses not confirmed, or the wireless "
             "configuration service not restarted";
    case 18:
      return "the address script could not be written, or the network shell did not start";
    case 19:
      return "the new settings were not confirmed, or the last applied profile was not recorded";
    case 20:
      return "a netsh.exe process runs already; nothing was done";
    case 21:
      return "profile applied";
    case 22:
      return "ad hoc network made";
    case 23:
      return "the ad hoc tool did not run";
    case 24:
      return "the machine-wide wireless key could not be written";
    case 25:
      return "the machine-wide wireless key could not be removed";
    case 26:
      return "an adapter that the profile needs is not present; nothing was done";
    case 27:
      return "the ad hoc tool runs already; nothing was done";
    case 28:
      return "ORL_Core.exe runs; nothing was done";
    default:
      return "unexpected result";
  }
}

bool Applied(int code) { return code == 16 || code == 21 || code == 22; }

bool NothingDone(int code) {
  return code == 0 || code == 20 || code == 26 || code == 27 || code == 28;
}

std::string Describe(const EnvInfoStr& env) {
  std::string role = "no sharing";
  if (env.nICSFlag == 1) role = "sharing host";
  if (env.nICSFlag == 2) role = "sharing client";
  if ((env.nICSFlag == 1 || env.nICSFlag == 2) && env.bPrivateWlan != 0) {
    role += " with a private wireless network";
  }
  return "profile " + std::to_string(env.nProfileKey) + " (" + ShownField(env.ProfileName) + ", " +
         role + ")";
}

// The profile in force: as `--from` names it (a number, or "none"), or as the store remembers
// the last one applied (none before the first application, or when that profile is gone).
struct InForce {
  bool known = false;
  HostProfile profile;
};

InForce LoadInForce(const std::optional<int>& from, bool fromNone) {
  InForce inForce;
  if (fromNone) {
    std::cout << "As if no profile were in force.\n";
    return inForce;
  }
  if (from) {
    if (!LoadProfile(*from, inForce.profile)) RefuseUnloadable(*from);
    inForce.known = true;
    std::cout << "As if " << Describe(inForce.profile.env) << " were in force.\n";
    return inForce;
  }
  CCommonFtn().InitStructure(&inForce.profile.env, inForce.profile.adapters);
  inForce.known =
      CNetInfoRetrieve().GetCurrentProfileInfo(&inForce.profile.env, inForce.profile.adapters) == 1;
  if (inForce.known) {
    std::cout << "In force: " << Describe(inForce.profile.env) << ".\n";
  } else {
    const std::optional<int> last = LastProfileNumber();
    if (!last) {
      std::cout << "No profile is in force (none was applied yet).\n";
    } else {
      std::cout << "No profile is in force (profile " << *last << " was applied last, but it "
                << (ProfileKeyExists(*last) ? "is now unreadable" : "is gone") << ").\n";
    }
  }
  return inForce;
}

void SayWait(ApplyWait wait, const std::string& commandLine) {
  switch (wait) {
    case ApplyWait::WirelessService:
      std::cout << "Waiting for the wireless configuration service WZCSVC to run, up to 2 "
                   "minutes...";
      break;
    case ApplyWait::NetworkShell:
      std::cout << "Running \"" << commandLine
                << "\" and waiting for it to finish and for every netsh.exe to end...";
      break;
    case ApplyWait::AdHocTool:
      std::cout << "Running the ad hoc tool " << commandLine
                << " hidden and waiting for it to end, up to 5 minutes...";
      break;
  }
  std::cout << std::endl;
}

// Where the host cannot see the waits start (Windows), the ones the target's role may bring.
void SayPossibleWaits(const EnvInfoStr& target) {
  std::cout << "Applying; the library may wait for ";
  if (target.nICSFlag == 1) {
    std::cout << "the wireless configuration service WZCSVC (up to 2 minutes), ";
  }
  std::cout << "the network shell and every netsh.exe";
  if ((target.nICSFlag == 1 || target.nICSFlag == 2) && target.bPrivateWlan != 0) {
    std::cout << ", and the ad hoc tool Tamsel.exe (up to 5 minutes)";
  }
  std::cout << "..." << std::endl;
}

void RunApply(const HostOptions& options, const std::string& typed,
              const std::optional<std::string>& typedFrom) {
  const int number = ProfileNumber(typed);
  const bool fromNone = typedFrom && *typedFrom == "none";
  std::optional<int> from;
  if (typedFrom && !fromNone) from = ProfileNumber(*typedFrom);
  auto session = OpenSession(options);
  HostProfile target;
  if (!LoadProfile(number, target)) RefuseUnloadable(number);
  InForce inForce = LoadInForce(from, fromNone);
  std::cout << "Applying " << Describe(target.env) << ".\n";
  if (!CanWatchApplyWaits()) SayPossibleWaits(target.env);

  const std::size_t reported = NetworkShellOutput().size();
  NebrinHandle handle{};
  const int code = WatchApplyWaits(
      [&] {
        return CNetInfoManage().ApplySelectProfile(handle, &target.env, target.adapters,
                                                   inForce.known ? &inForce.profile.env : nullptr,
                                                   inForce.profile.adapters);
      },
      SayWait);
  const std::vector<std::string> output = NetworkShellOutput();
  session->Commit();
  for (std::size_t i = reported; i < output.size(); ++i) {
    std::cout << "netsh: " << output[i] << "\n";
  }
  std::cout << "Result " << code << ": " << Meaning(code) << ".\n";
  if (!Applied(code)) {
    throw Refusal(
        "profile " + std::to_string(number) +
        (NothingDone(code) ? " was not applied; nothing was changed" : " was not fully applied"));
  }
}

// Loads a profile and refuses one that shares a connection: its addresses are applied around the
// sharing step, not by one script of all its adapters.
HostProfile LoadPlainProfile(int number) {
  HostProfile p;
  if (!LoadProfile(number, p)) RefuseUnloadable(number);
  if (p.env.nICSFlag == 1 || p.env.nICSFlag == 2) {
    throw Refusal("profile " + std::to_string(number) + " shares a connection (" +
                  (p.env.nICSFlag == 1 ? "sharing host" : "sharing client") +
                  "); its addresses are applied around the sharing step, so script shows only "
                  "profiles without sharing and nothing was written");
  }
  return p;
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
  static std::optional<std::string> applyFrom;
  CLI::App* apply = app.add_subcommand(
      "apply", "Apply a stored profile (ApplySelectProfile), sharing profiles included");
  apply->add_option("number", applyNumber, "Profile number")->required();
  apply->add_option("--from", applyFrom,
                    "M or none: apply as if profile M, or no profile, were in force (default: the "
                    "profile applied last)");
  apply->callback([&options] { RunApply(options, applyNumber, applyFrom); });

  static std::string scriptNumber;
  CLI::App* script = app.add_subcommand(
      "script", "Write and show the address script ip.txt of a profile without running it");
  script->add_option("number", scriptNumber, "Profile number")->required();
  script->callback([&options] { RunScript(options, scriptNumber); });
}

}  // namespace nebrin::host
