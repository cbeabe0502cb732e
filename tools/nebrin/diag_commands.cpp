#include "diag_commands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "NebrinCoreDll.h"
#include "echo_progress.h"
#include "host_profile.h"
#include "host_text.h"

namespace nebrin::host {
namespace {

// The exit status of a check that found a fault: the verdict is printed, then the command ends
// with status 1 and no further message.
[[noreturn]] void FoundFault() { throw CLI::RuntimeError(1); }

// Runs the echo test of `host` with one line per attempt as it goes; true when the host answers.
bool PingWithProgress(const std::string& host, int count, const std::string& indent) {
  std::vector<NebrinChar> text = WideParam(host);
  if (!CanWatchEchoAttempts()) {
    const int result = CNetDiag().Ping(count, text.data());
    std::cout << indent << host
              << (result == 1 ? " answers" : " does not answer, or the test could not start")
              << " (4 or more attempts without reply fail)\n";
    return result == 1;
  }
  int silent = 0;
  int attempts = 0;
  const int result = WatchEchoAttempts(
      [&] { return CNetDiag().Ping(count, text.data()); },
      [&](const EchoAttempt& attempt) {
        ++attempts;
        if (!attempt.answered) ++silent;
        std::cout << indent << "attempt " << attempt.number << ": " << attempt.detail
                  << std::endl;
      });
  if (attempts == 0 && result == 0) {
    std::cout << indent << host
              << ": could not start (the name does not resolve, or raw ICMP sockets are not "
                 "allowed: on Linux they need root or CAP_NET_RAW)\n";
    return false;
  }
  std::cout << indent << host << (result == 1 ? " answers" : " does not answer") << " ("
            << silent << " of " << attempts << " attempts without reply; 4 or more fail)\n";
  return result == 1;
}

void RunPing(const HostOptions& options, const std::string& host, long long wanted) {
  // Each attempt takes about a second; a count outside this range is no echo test anyone waits
  // for (and a negative one makes no attempt at all).
  constexpr long long kMaxCount = 1000;
  if (wanted < 0 || wanted > kMaxCount) {
    throw Refusal("the count must be from 0 to " + std::to_string(kMaxCount) +
                  " (count + 1 attempts are made, about a second each)");
  }
  const int count = static_cast<int>(wanted);
  auto session = OpenSession(options);
  std::cout << "echo test of " << host << ": " << count + 1 << " attempts, about a second each"
            << std::endl;
  if (!PingWithProgress(host, count, "")) FoundFault();
}

void RunUrl(const HostOptions& options, const std::string& url) {
  auto session = OpenSession(options);
  std::vector<NebrinChar> text = WideParam(url);
  const int result = CNetDiag().CheckURLConnection(text.data());
  std::cout << url << (result == 3 ? ": reachable" : ": not reachable") << " (" << result
            << ")\n";
  if (result != 3) FoundFault();
}

std::string NetStatusWords(int code) {
  switch (code) {
    case 50:
      return "the DNS server answers, the gateway does not";
    case 51:
      return "the gateway answers, the DNS server does not (or none is set)";
    case 52:
      return "neither the gateway nor the DNS server answers";
    case 53:
      return "the gateway and the DNS server answer";
  }
  return "unknown result";
}

struct DiagRequest {
  std::optional<std::string> profile;
  int adapter = 0;
  bool live = false;
  std::string url;
};

void RunDiag(const HostOptions& options, const DiagRequest& request) {
  if (request.live == request.profile.has_value()) {
    throw Refusal("give a stored profile number or --live (the current settings), not both");
  }
  auto session = OpenSession(options);
  HostProfile profile;
  CCommonFtn().InitStructure(&profile.env, profile.adapters);
  std::string source;
  if (request.live) {
    if (CNetInfoRetrieve().IPRetrieve(&profile.env, profile.adapters) != 1) {
      throw Refusal("the current adapter settings could not be read");
    }
    source = "current settings";
  } else {
    const int number = ProfileNumber(*request.profile);
    if (!LoadProfile(number, profile)) RefuseUnloadable(number);
    source = "profile " + std::to_string(number) + " \"" + FieldUtf8(profile.env.ProfileName) +
             "\"";
  }
  const int i = request.adapter;
  if (i < 0 || i >= profile.env.AdapterCount) {
    throw Refusal("there is no adapter " + std::to_string(i) + " in the " + source + " (" +
                  (profile.env.AdapterCount == 0
                       ? std::string("it has none")
                       : "adapters 0 to " + std::to_string(profile.env.AdapterCount - 1)) +
                  ")");
  }
  const AdapterInfoStr& a = profile.adapters[i];
  std::cout << source << ", adapter " << i << ": " << FieldUtf8(a.ConnectionName) << "  "
            << FieldUtf8(a.AdapterName) << "\n";

  CNetDiag diag;
  const int cable = diag.CheckOutCableConnection(&profile.env, profile.adapters, i);
  std::cout << "cable:    " << (cable == 1 ? "connected" : "unplugged, or the connection is unknown")
            << "\n";
  const int enabled = diag.CheckOutHWEnableDisable(&profile.env, profile.adapters, i);
  std::cout << "adapter:  " << (enabled == 1 ? "enabled" : "disabled, or the connection is unknown")
            << std::endl;
  const std::string gateway = FieldUtf8(a.GatewayList);
  const std::string dns = FieldUtf8(a.PrimaryDnsServer);
  std::cout << "gateway " << (gateway.empty() ? "(none)" : gateway) << " and DNS server "
            << (dns.empty() ? "(none)" : dns) << ": echo tests, about a second per attempt..." << std::endl;
  const int status = diag.CheckOutNetConnectStatus(&profile.env, profile.adapters, i);
  std::cout << "network:  " << NetStatusWords(status) << " (" << status << ")\n";
  bool fault = cable != 1 || enabled != 1 || status != 53;
  if (!request.url.empty()) {
    std::vector<NebrinChar> text = WideParam(request.url);
    const int reach = diag.CheckURLConnection(text.data());
    std::cout << "url:      " << request.url << (reach == 3 ? " reachable" : " not reachable")
              << " (" << reach << ")\n";
    fault = fault || reach != 3;
  }
  if (fault) FoundFault();
}

}  // namespace

void AddDiagCommands(CLI::App& app, HostOptions& options) {
  CLI::App* ping = app.add_subcommand(
      "ping", "Echo test of a host (ICMP): count + 1 attempts; the host fails with 4 silent ones");
  auto host = std::make_shared<std::string>();
  auto count = std::make_shared<long long>(5);
  ping->add_option("host", *host, "Host name or dotted IPv4 address")->required();
  ping->add_option("--count", *count,
                   "Attempts after the first, 0 to 1000 (default 5: six attempts)");
  ping->callback([&options, host, count] { RunPing(options, *host, *count); });

  CLI::App* url = app.add_subcommand("url", "Whether a URL can be opened (http, https, ftp)");
  auto address = std::make_shared<std::string>();
  url->add_option("url", *address, "The URL")->required();
  url->callback([&options, address] { RunUrl(options, *address); });

  CLI::App* diag = app.add_subcommand(
      "diag", "Diagnose one adapter of a stored profile (or of the current settings)");
  auto request = std::make_shared<DiagRequest>();
  diag->add_option("profile", request->profile, "Stored profile number");
  diag->add_option("--adapter", request->adapter, "Adapter record (default 0)");
  diag->add_flag("--live", request->live, "Use the current settings instead of a stored profile");
  diag->add_option("--url", request->url, "Also probe this URL");
  diag->callback([&options, request] { RunDiag(options, *request); });
}

}  // namespace nebrin::host
