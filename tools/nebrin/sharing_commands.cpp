#include "sharing_commands.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "connection_words.h"
#include "host_profile.h"
#include "host_services.h"
#include "platform/platform.h"
#include "table.h"

namespace nebrin::host {
namespace {

using platform::UniqueComRef;

// A connection as the sharing manager shows it.
struct ConnectionView {
  std::string name;
  std::string guid;
  std::uint32_t status = 0;
  std::string sharing = "none";  // "public", "private" or "none"
  std::optional<bool> firewall;  // none: could not be read
};

// Reads one connection's properties and sharing configuration; what cannot be read stays empty.
ConnectionView Describe(platform::NetworkConnections& sharing, platform::Com& com,
                        const UniqueComRef& manager, const UniqueComRef& connection) {
  ConnectionView view;
  UniqueComRef props(com);
  sharing.ConnectionProps(manager.get(), connection.get(), props.receive());
  if (props) {
    std::u16string text;
    if (!platform::Failed(sharing.Name(props.get(), text))) view.name = ToUtf8(text);
    if (!platform::Failed(sharing.Guid(props.get(), text))) view.guid = ToUtf8(text);
    sharing.Status(props.get(), view.status);
  }
  UniqueComRef configuration(com);
  sharing.SharingConfiguration(manager.get(), connection.get(), configuration.receive());
  if (configuration) {
    bool enabled = false;
    platform::SharingType type = platform::SharingType::Public;
    if (!platform::Failed(sharing.SharingEnabled(configuration.get(), enabled)) && enabled &&
        !platform::Failed(sharing.SharingConnectionType(configuration.get(), type))) {
      view.sharing = type == platform::SharingType::Private ? "private" : "public";
    }
    bool on = false;
    if (!platform::Failed(sharing.InternetFirewallEnabled(configuration.get(), on))) {
      view.firewall = on;
    }
  }
  return view;
}

// Every connection the sharing manager enumerates; refuses when the manager cannot be had.
std::vector<ConnectionView> ListConnections() {
  platform::Platform& services = HostServices();
  platform::Com& com = services.com();
  platform::NetworkConnections& sharing = services.connections();
  platform::ComApartment apartment(com);
  com.InitializeSecurity();
  UniqueComRef manager(com);
  const platform::HResult created = sharing.CreateSharingManager(manager.receive());
  if (platform::Failed(created) || !manager) {
    throw Refusal(
        "the system's sharing manager is not available here, so the connections "
        "cannot be listed");
  }
  std::vector<ConnectionView> views;
  UniqueComRef collection(com);
  UniqueComRef enumerator(com);
  sharing.EnumEveryConnection(manager.get(), collection.receive());
  if (collection) sharing.NewEnum(collection.get(), enumerator.receive());
  if (!enumerator) throw Refusal("the sharing manager did not list its connections");
  UniqueComRef connection(com);
  while (sharing.Next(enumerator.get(), connection.receive()) == platform::kSOk) {
    if (connection) views.push_back(Describe(sharing, com, manager, connection));
  }
  return views;
}

// The first IPv4 address of each adapter the adapter list shows, by GUID; none when the list
// cannot be read.
std::map<std::string, std::string> AddressesByGuid() {
  platform::AdapterList& list = HostServices().adapters();
  std::map<std::string, std::string> addresses;
  std::uint32_t bytes = 0;
  const platform::Status size = list.QuerySize(bytes);
  if (size != platform::kSuccess && size != platform::kBufferOverflow) return addresses;
  std::vector<platform::AdapterListEntry> entries;
  if (list.Fill(bytes, entries) != platform::kSuccess) return addresses;
  for (const auto& entry : entries) addresses[entry.adapterName] = entry.ipAddress;
  return addresses;
}

std::string FirewallText(const std::optional<bool>& firewall) {
  return firewall ? (*firewall ? "on" : "off") : "?";
}

void RunSharing(const HostOptions& options, bool json) {
  auto session = OpenSession(options);
  const std::vector<ConnectionView> views = ListConnections();
  const std::map<std::string, std::string> addresses = AddressesByGuid();
  const auto address = [&](const ConnectionView& v) {
    const auto found = addresses.find(v.guid);
    return found == addresses.end() ? std::string() : found->second;
  };
  if (json) {
    nlohmann::json out = nlohmann::json::array();
    for (const auto& v : views) {
      out.push_back({{"name", v.name},
                     {"guid", v.guid},
                     {"status", v.status},
                     {"sharing", v.sharing},
                     {"firewall", v.firewall ? nlohmann::json(*v.firewall) : nullptr},
                     {"address", address(v)}});
    }
    std::cout << out.dump(2) << "\n";
    return;
  }
  if (views.empty()) {
    std::cout << "The sharing manager lists no connections.\n";
    return;
  }
  Table table({"Connection", "State", "Sharing", "Firewall", "GUID", "Address"});
  for (const auto& v : views) {
    const std::string shown = address(v);
    table.AddRow({v.name, ConnectionStatusWords(v.status), v.sharing, FirewallText(v.firewall),
                  v.guid, shown.empty() ? "-" : shown});
  }
  table.Print(std::cout);
}

void RunFirewall(const HostOptions& options, const std::string& typed) {
  const int number = ProfileNumber(typed);
  auto session = OpenSession(options);
  HostProfile p;
  if (!LoadProfile(number, p)) RefuseUnloadable(number);
  const std::string guid = FieldUtf8(p.env.strPublicDevGUID);
  const bool on = p.env.bICFFlag != 0;
  const int result = CNetInfoManage().SetICF(&p.env);
  session->Commit();
  if (result == 15) {
    throw Refusal(
        "result 15: the sharing manager, a connection's properties or its sharing "
        "configuration could not be obtained");
  }
  if (result == 0) {
    throw Refusal("result 0: the firewall of the connection " + guid + " could not be switched " +
                  (on ? "on" : "off"));
  }
  if (guid.empty()) {
    throw Refusal("result 1: profile " + std::to_string(number) +
                  " names no public adapter, so no firewall was switched");
  }
  for (const auto& v : ListConnections()) {
    if (v.guid != guid) continue;
    std::cout << "Result 1: the firewall of \"" << v.name << "\" is " << FirewallText(v.firewall)
              << (v.firewall == on ? " as profile " + std::to_string(number) + " asks.\n"
                                   : ", although profile " + std::to_string(number) +
                                         " asks for it " + (on ? "on" : "off") + ".\n");
    return;
  }
  throw Refusal("result 1: no connection carries profile " + std::to_string(number) +
                "'s public adapter " + guid + ", so no firewall was switched");
}

}  // namespace

void AddSharingCommands(CLI::App& app, HostOptions& options) {
  CLI::App* sharing = app.add_subcommand(
      "sharing", "List the connections with their sharing role and firewall state");
  auto json = std::make_shared<bool>(false);
  sharing->add_flag("--json", *json, "Print JSON for scripts");
  sharing->callback([&options, json] { RunSharing(options, *json); });

  CLI::App* firewall = app.add_subcommand(
      "firewall", "Switch the firewall of a profile's public connection as the profile says");
  auto number = std::make_shared<std::string>();
  firewall->add_option("N", *number, "Profile number")->required();
  firewall->callback([&options, number] { RunFirewall(options, *number); });
}

}  // namespace nebrin::host
