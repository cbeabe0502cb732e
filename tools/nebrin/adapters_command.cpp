#include "adapters_command.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <stdexcept>

#include "NebrinCoreDll.h"
#include "host_profile.h"
#include "host_text.h"
#include "record_json.h"
#include "table.h"

namespace nebrin::host {
namespace {

std::string Or(const std::string& text) { return text.empty() ? "-" : text; }

std::string Joined(const std::string& first, const std::string& second) {
  if (second.empty()) return Or(first);
  return Or(first) + ", " + second;
}

void PrintTable(const EnvInfoStr& env, const AdapterInfoStr* adapters) {
  Table table({"#", "Connection", "Media", "Mode", "Address", "Mask", "Gateway", "DNS", "WINS",
               "Metric"});
  for (int i = 0; i < env.AdapterCount; ++i) {
    const AdapterInfoStr& a = adapters[i];
    const std::string media = ShownField(a.MediaSubType);
    table.AddRow({std::to_string(i), ShownField(a.ConnectionName),
                  media == "air" ? "wireless" : media == "line" ? "wired" : media,
                  ShownField(a.DhcpEnabled) == "yes" ? "DHCP" : "static",
                  Or(ShownField(a.IpAddressList)), Or(ShownField(a.SubnetMask)),
                  Or(ShownField(a.GatewayList)),
                  Joined(ShownField(a.PrimaryDnsServer), ShownField(a.SecondaryDnsServer)),
                  Joined(ShownField(a.PrimaryWinsServer), ShownField(a.SecondaryWinsServer)),
                  Or(ShownField(a.Metric))});
  }
  table.Print(std::cout);
  for (int i = 0; i < env.AdapterCount; ++i) {
    std::cout << "\n" << i << "  " << ShownField(adapters[i].DeviceDesc) << "\n   "
              << ShownField(adapters[i].AdapterName);
  }
  if (env.AdapterCount > 0) std::cout << "\n";
}

void RunAdapters(const HostOptions& options, bool json) {
  auto session = OpenSession(options);
  EnvInfoStr env;
  AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS];
  CCommonFtn().InitStructure(&env, adapters);
  if (CNetInfoRetrieve().IPRetrieve(&env, adapters) != 1) {
    throw std::runtime_error("the adapters could not be read (" +
                             std::to_string(env.AdapterCount) +
                             " captured before the failure)");
  }
  if (json) {
    nlohmann::json out = {{"AdapterCount", env.AdapterCount},
                          {"adapters", nlohmann::json::array()}};
    for (int i = 0; i < env.AdapterCount; ++i) out["adapters"].push_back(AdapterJson(adapters[i]));
    std::cout << out.dump(2) << "\n";
  } else {
    PrintTable(env, adapters);
  }
}

}  // namespace

void AddAdaptersCommand(CLI::App& app, HostOptions& options) {
  CLI::App* command = app.add_subcommand("adapters", "Capture and show the current adapter settings");
  auto json = std::make_shared<bool>(false);
  command->add_flag("--json", *json, "Print JSON for scripts");
  command->callback([&options, json] { RunAdapters(options, *json); });
}

}  // namespace nebrin::host
