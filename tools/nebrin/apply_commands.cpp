#include "apply_commands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <optional>
#include <string>

#include "applied_profile.h"
#include "apply_progress.h"
#include "host_paths.h"
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

// The target is in force once it was applied; a sharing host that failed half way may share a
// connection that the next application has to switch off, so it counts as in force too, marked
// incomplete. After any other failure the profile in force stays what it was, and the next
// application starts from it again (taking its sharing down, starting the wireless service
// again, as it needs).
bool TargetInForce(int code, const EnvInfoStr& target) {
  return Applied(code) || (!NothingDone(code) && target.nICSFlag == 1);
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

// The profile in force: as `--from` names it (a number, or "none"), or the copy the host kept of
// the profile it applied last, or, without a copy, as the store remembers the last one applied
// (none before the first application, or when that profile is gone).
struct InForce {
  bool known = false;
  HostProfile profile;
};

InForce LoadInForce(const std::optional<int>& from, bool fromNone,
                    const std::filesystem::path& appliedFile) {
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
  if (std::optional<AppliedProfile> applied = ReadAppliedProfile(appliedFile)) {
    // Given to the library as another profile than the stored one under its number when that
    // one changed since, or the set-up did not complete: a sharing host is then set up in full.
    const StoredSinceApplied since = CompareWithStore(applied->profile);
    inForce.known = true;
    inForce.profile = InForceRecord(*applied, since);
    std::cout << "In force: " << Describe(applied->profile.env);
    if (since.kind == StoredSinceApplied::Kind::Changed) {
      std::cout << " as it was applied; it was changed in the store since"
                << since.OtherName(applied->profile);
    } else if (since.kind == StoredSinceApplied::Kind::Deleted) {
      std::cout << " as it was applied; it was deleted from the store since";
    }
    if (!applied->complete) std::cout << "; its sharing-host set-up did not complete";
    std::cout << ".\n";
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

// Keeps the applied target as the profile in force. A copy that cannot be written must not stay
// behind as the profile in force: without one, the next application takes the store's last
// applied profile.
void KeepInForce(const std::filesystem::path& file, const HostProfile& target, bool complete) {
  try {
    KeepAppliedProfile(file, target, complete);
  } catch (const Refusal& e) {
    if (!ForgetAppliedProfile(file)) {
      const std::string number = std::to_string(target.env.nProfileKey);
      throw Refusal("profile " + number + " was applied, but " + e.what() +
                    ", and the copy kept before cannot be removed: apply next with --from " +
                    number);
    }
    std::cerr << "nebrin: " << e.what()
              << "; the next application takes the profile in force from the store\n";
  }
}

void RunApply(const HostOptions& options, const std::string& typed,
              const std::optional<std::string>& typedFrom) {
  const int number = ProfileNumber(typed);
  const bool fromNone = typedFrom && *typedFrom == "none";
  std::optional<int> from;
  if (typedFrom && !fromNone) from = ProfileNumber(*typedFrom);
  const std::filesystem::path appliedFile = AppliedProfileFile(options);
  auto session = OpenSession(options);
  HostProfile target;
  if (!LoadProfile(number, target)) RefuseUnloadable(number);
  InForce inForce = LoadInForce(from, fromNone, appliedFile);
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
  if (TargetInForce(code, target.env)) KeepInForce(appliedFile, target, Applied(code));
  if (code == 0) {
    // The library's answer for the same host in force with other sharing adapters. The host
    // gives a changed profile as another one, so this is not expected; set up from none, the
    // host's sharing is switched off everywhere before it is set up again.
    throw Refusal("profile " + std::to_string(number) +
                  " was not applied; nothing was changed (apply it with --from none to set the "
                  "sharing host up again on its new adapters)");
  }
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
