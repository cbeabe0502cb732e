// Changing a stored profile: its name, its printer, one adapter's settings or its connection
// sharing.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "address_input.h"
#include "host_profile.h"
#include "profile_commands.h"
#include "sharing_options.h"

namespace nebrin::host {
namespace {

using Typed = std::optional<std::string>;

// Loads a profile for a change; a refusal leaves the machine as it was.
HostProfile LoadForChange(int number) {
  HostProfile p;
  if (!LoadProfile(number, p)) RefuseUnloadable(number);
  return p;
}

// Writes name, icon and printer choice; true when they are written and, for a printer that is
// made the default, the printer was made the default.
bool SaveNameAndPrinter(HostSession& session, HostProfile& p) {
  const int saved = CNetInfoManage().SaveNameOrPrinter(&p.env);
  session.Commit();
  return saved == 1;
}

void RunRename(const HostOptions& options, const std::string& typed, const std::string& name) {
  const int number = ProfileNumber(typed);
  if (name.empty()) throw Refusal("a profile needs a name");
  RefuseControl(name, "the name");
  auto session = OpenSession(options);
  HostProfile p = LoadForChange(number);
  SetText(p.env.ProfileName, name, "the name");
  const auto wide = WideParam(name);
  if (CNetInfoRetrieve().CanUseThisNameEdit(const_cast<NebrinChar*>(wide.data()), &p.env) != 1) {
    throw Refusal("another profile is already named \"" + name + "\"");
  }
  if (!SaveNameAndPrinter(*session, p)) {
    throw Refusal("profile " + std::to_string(number) +
                  (p.env.bDefaultPrinterFlag == 1
                       ? " was renamed, but its printer \"" + ShownField(p.env.strPrinterName) +
                             "\" could not be made the default printer"
                       : " could not be renamed"));
  }
  std::cout << "Renamed profile " << number << " to \"" << name << "\".\n";
}

void RunSetPrinter(const HostOptions& options, const std::string& typed, const Typed& printer,
                   bool none) {
  if (none == printer.has_value())
    throw Refusal("set-printer takes a printer name or --none, not both");
  if (printer) RefuseControl(*printer, "the printer name");
  const int number = ProfileNumber(typed);
  auto session = OpenSession(options);
  HostProfile p = LoadForChange(number);
  SetText(p.env.strPrinterName, printer.value_or(""), "the printer name");
  p.env.bDefaultPrinterFlag = none ? 0 : 1;
  if (!SaveNameAndPrinter(*session, p)) {
    throw Refusal(none ? "profile " + std::to_string(number) + " could not be changed"
                       : "profile " + std::to_string(number) + " now names printer \"" + *printer +
                             "\", but it could not be made the default printer");
  }
  std::cout << "Profile " << number
            << (none ? " makes no printer the default.\n"
                     : " makes \"" + *printer + "\" the default printer.\n");
}

struct AdapterChange {
  std::string adapter;
  bool dhcp = false;
  Typed ip, mask, gateway, dns, wins, metric;
};

// Checks everything typed before anything is loaded or written.
void CheckChange(const AdapterChange& c) {
  const bool anyStatic = c.ip || c.mask || c.gateway || c.dns || c.wins || c.metric;
  if (c.dhcp && anyStatic) throw Refusal("--dhcp cannot be combined with static settings");
  if (!c.dhcp && !(c.ip && c.mask)) throw Refusal("give --dhcp, or --ip and --mask");
  if (c.ip && !IsIpv4Address(*c.ip))
    throw Refusal("--ip: \"" + *c.ip + "\" is not a dotted IPv4 address");
  if (c.mask && !IsSubnetMask(*c.mask))
    throw Refusal("--mask: \"" + *c.mask + "\" is not a subnet mask");
  if (c.gateway && !IsIpv4Address(*c.gateway)) {
    throw Refusal("--gateway: \"" + *c.gateway + "\" is not a dotted IPv4 address");
  }
  if (c.dns) AddressPair(*c.dns, "--dns");
  if (c.wins) AddressPair(*c.wins, "--wins");
  if (c.metric && !IsMetric(*c.metric)) {
    throw Refusal("--metric: \"" + *c.metric +
                  "\" is not a metric (a decimal number from 1 to 9999)");
  }
}

void RunEdit(const HostOptions& options, const std::string& typed, const AdapterChange& c,
             const SharingChoice& sharing) {
  const int number = ProfileNumber(typed);
  const bool adapterChange = !c.adapter.empty();
  const bool anySetting = c.dhcp || c.ip || c.mask || c.gateway || c.dns || c.wins || c.metric;
  if (!adapterChange && anySetting) throw Refusal("adapter settings need --adapter I");
  if (!adapterChange && !sharing.Given()) {
    throw Refusal("give --adapter I with its settings, or --sharing");
  }
  if (adapterChange) {
    const bool indexDigits =
        c.adapter.size() <= 2 && c.adapter.find_first_not_of("0123456789") == std::string::npos;
    if (!indexDigits) throw Refusal("--adapter: \"" + c.adapter + "\" is not an adapter index");
    CheckChange(c);
  }
  CheckSharingChoice(sharing);
  auto session = OpenSession(options);
  HostProfile p = LoadForChange(number);
  const int index = adapterChange ? std::stoi(c.adapter) : 0;
  if (adapterChange && index >= p.env.AdapterCount) {
    throw Refusal("--adapter: profile " + std::to_string(number) + " has " +
                  std::to_string(p.env.AdapterCount) + " adapters, so there is no adapter " +
                  c.adapter);
  }
  AdapterInfoStr& a = p.adapters[index];
  if (adapterChange && c.dhcp) {
    SetText(a.DhcpEnabled, "yes", "the mode");
  } else if (adapterChange) {
    // Static settings are taken whole from the command: what is not given is left empty, and
    // an empty metric is taken from the system when the profile is written.
    const auto dns = c.dns ? AddressPair(*c.dns, "--dns") : std::vector<std::string>{};
    const auto wins = c.wins ? AddressPair(*c.wins, "--wins") : std::vector<std::string>{};
    SetText(a.DhcpEnabled, "no", "the mode");
    SetText(a.IpAddressList, *c.ip, "--ip");
    SetText(a.SubnetMask, *c.mask, "--mask");
    SetText(a.GatewayList, c.gateway.value_or(""), "--gateway");
    SetText(a.PrimaryDnsServer, dns.size() > 0 ? dns[0] : "", "--dns");
    SetText(a.SecondaryDnsServer, dns.size() > 1 ? dns[1] : "", "--dns");
    SetText(a.PrimaryWinsServer, wins.size() > 0 ? wins[0] : "", "--wins");
    SetText(a.SecondaryWinsServer, wins.size() > 1 ? wins[1] : "", "--wins");
    SetText(a.Metric, c.metric.value_or(""), "--metric");
  }
  ApplySharingChoice(sharing, p);
  const int saved = CNetInfoManage().SaveProfileInfoToRegistry(&p.env, p.adapters, 0);
  session->Commit();
  if (saved != 1) throw Refusal("profile " + std::to_string(number) + " could not be rewritten");
  if (adapterChange) {
    std::cout << "Profile " << number << ", adapter " << index << " ("
              << ShownField(a.ConnectionName)
              << "): " << (c.dhcp ? std::string("DHCP") : "static " + *c.ip + " mask " + *c.mask)
              << ".\n";
  }
  if (sharing.Given()) {
    std::cout << "Profile " << number << ": " << DescribeSharing(p) << ".\n";
  }
}

void AddOptional(CLI::App* command, const std::string& name, Typed& target,
                 const std::string& help) {
  command->add_option_function<std::string>(
      name, [&target](const std::string& v) { target = v; }, help);
}

}  // namespace

void AddProfileEditCommands(CLI::App& app, HostOptions& options) {
  CLI::App* rename = app.add_subcommand("rename", "Rename a stored profile");
  auto renameNumber = std::make_shared<std::string>();
  auto name = std::make_shared<std::string>();
  rename->add_option("N", *renameNumber, "Profile number")->required();
  rename->add_option("NAME", *name, "New name")->required();
  rename->callback([&options, renameNumber, name] { RunRename(options, *renameNumber, *name); });

  CLI::App* printer =
      app.add_subcommand("set-printer", "Choose the printer a profile makes the default");
  auto printerNumber = std::make_shared<std::string>();
  auto printerName = std::make_shared<Typed>();
  auto none = std::make_shared<bool>(false);
  printer->add_option("N", *printerNumber, "Profile number")->required();
  AddOptional(printer, "NAME", *printerName, "Printer name");
  printer->add_flag("--none", *none, "Make no printer the default");
  printer->callback([&options, printerNumber, printerName, none] {
    RunSetPrinter(options, *printerNumber, *printerName, *none);
  });

  CLI::App* edit = app.add_subcommand(
      "edit", "Change one adapter's settings, or the connection sharing, of a stored profile");
  auto editNumber = std::make_shared<std::string>();
  auto change = std::make_shared<AdapterChange>();
  auto sharing = std::make_shared<SharingChoice>();
  edit->add_option("N", *editNumber, "Profile number")->required();
  edit->add_option("--adapter", change->adapter, "Adapter index in the profile");
  edit->add_flag("--dhcp", change->dhcp, "Take addresses by DHCP");
  AddOptional(edit, "--ip", change->ip, "Static IPv4 address");
  AddOptional(edit, "--mask", change->mask, "Subnet mask");
  AddOptional(edit, "--gateway", change->gateway, "Default gateway");
  AddOptional(edit, "--dns", change->dns, "DNS servers: A[,B]");
  AddOptional(edit, "--wins", change->wins, "WINS servers: A[,B]");
  AddOptional(edit, "--metric", change->metric, "Interface metric (empty: the system's)");
  AddSharingOptions(edit, *sharing);
  edit->callback([&options, editNumber, change, sharing] {
    RunEdit(options, *editNumber, *change, *sharing);
  });
}

}  // namespace nebrin::host
