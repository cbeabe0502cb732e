#include "adapters_command.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <stdexcept>

#include "NebrinCoreDll.h"
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
    const std::string media = FieldUtf8(a.MediaSubType);
    table.AddRow({std::to_string(i), FieldUtf8(a.ConnectionName),
                  media == "air" ? "wireless" : media == "line" ? "wired" : media,
                  FieldUtf8(a.DhcpEnabled) == "yes" ? "DHCP" : "static",
                  Or(FieldUtf8(a.IpAddressList)), Or(FieldUtf8(a.SubnetMask)),
                  Or(FieldUtf8(a.GatewayList)),
                  Joined(FieldUtf8(a.PrimaryDnsServer), FieldUtf8(a.SecondaryDnsServer)),
                  Joined(FieldUtf8(a.PrimaryWinsServer), FieldUtf8(a.SecondaryWinsServer)),
                  Or(FieldUtf8(a.Metric))});
  }
  table.Print(std::cout);
  for (int i = 0; i < env.AdapterCount; ++i) {
    std::cout << "\n" << i << "  " << FieldUtf8(adapters[i].DeviceDesc) << "\n   "
              << FieldUtf8(adapters[i].AdapterName);
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
