#include "platform/sim/machine_json.h"

#include <array>
#include <cstdio>
#include <initializer_list>
#include <limits>
#include <string>

#include "platform/sim/driver_json.h"
#include "platform/sim/json_reading.h"
#include "platform/sim/machine_state.h"
#include "platform/sim/sim_text.h"
#include "platform/sim/wireless_json.h"

namespace nebrin::sim {
namespace {

constexpr const char* kFormat = "nebrin-machine";
constexpr int kVersion = 1;
constexpr const char* kLocalMachineName = "HKEY_LOCAL_MACHINE";
constexpr const char* kCurrentUserName = "HKEY_CURRENT_USER";

struct TypeName {
  std::uint32_t type;
  const char* name;
};
constexpr std::array<TypeName, 12> kTypeNames{{
    {0, "REG_NONE"},
    {1, "REG_SZ"},
    {2, "REG_EXPAND_SZ"},
    {3, "REG_BINARY"},
    {4, "REG_DWORD"},
    {5, "REG_DWORD_BIG_ENDIAN"},
    {6, "REG_LINK"},
    {7, "REG_MULTI_SZ"},
    {8, "REG_RESOURCE_LIST"},
    {9, "REG_FULL_RESOURCE_DESCRIPTOR"},
    {10, "REG_RESOURCE_REQUIREMENTS_LIST"},
    {11, "REG_QWORD"},
}};

// ---------------------------------------------------------------- writing

Json TypeToJson(RegType type) {
  for (const auto& entry : kTypeNames) {
    if (entry.type == static_cast<std::uint32_t>(type)) return entry.name;
  }
  return static_cast<std::uint32_t>(type);
}

// Readable "data" when the bytes have the regular shape of their type, else exact "hex".
Json ValueToJson(const NamedValue& named) {
  const RegValue& value = named.value;
  Json json = Json::object();
  json["name"] = Utf16ToUtf8(named.name);
  json["type"] = TypeToJson(value.type);
  switch (value.type) {
    case RegType::String:
    case RegType::ExpandString:
      if (auto text = DecodeCanonicalString(value.bytes)) {
        json["data"] = Utf16ToUtf8(*text);
        return json;
      }
      break;
    case RegType::MultiString:
      if (auto items = DecodeCanonicalMultiString(value.bytes)) {
        Json list = Json::array();
        for (const auto& item : *items) list.push_back(Utf16ToUtf8(item));
        json["data"] = std::move(list);
        return json;
      }
      break;
    case RegType::Dword:
      if (value.bytes.size() == 4) {
        const auto& b = value.bytes;
        json["data"] = static_cast<std::uint32_t>(b[0] | (b[1] << 8) | (b[2] << 16)) |
                       (static_cast<std::uint32_t>(b[3]) << 24);
        return json;
      }
      break;
    default:
      break;
  }
  json["hex"] = Hex(value.bytes);
  return json;
}

Json KeyToJson(const Key& key) {
  Json json = Json::object();
  if (!key.subkeys.empty()) {
    Json keys = Json::object();
    for (const auto& [folded, child] : key.subkeys)
      keys[Utf16ToUtf8(child->name)] = KeyToJson(*child);
    json["keys"] = std::move(keys);
  }
  if (!key.values.empty()) {
    Json values = Json::array();
    for (const auto& value : key.values) values.push_back(ValueToJson(value));
    json["values"] = std::move(values);
  }
  return json;
}

// ---------------------------------------------------------------- reading

RegType ReadType(const Json& json, const std::string& where) {
  if (json.is_string()) {
    const std::string name = json.get<std::string>();
    for (const auto& entry : kTypeNames) {
      if (name == entry.name) return static_cast<RegType>(entry.type);
    }
    Fail(where, "unknown value type \"" + name + "\"");
  }
  if (json.is_number()) return static_cast<RegType>(ReadUint32(json, where));
  Fail(where, "expected a type name (\"REG_SZ\", ...) or a type number");
}

std::vector<std::uint8_t> ReadData(const Json& json, RegType type, const std::string& where) {
  switch (type) {
    case RegType::String:
    case RegType::ExpandString: {
      std::u16string text = Utf8ToUtf16(ReadString(json, where));
      text.push_back(u'\0');
      return Utf16ToBytes(text);
    }
    case RegType::MultiString: {
      if (!json.is_array()) Fail(where, "expected an array of strings");
      std::vector<std::u16string> items;
      for (std::size_t i = 0; i < json.size(); ++i) {
        items.push_back(Utf8ToUtf16(ReadString(json[i], Child(where, i))));
      }
      return EncodeMultiString(items);
    }
    case RegType::Dword:
      return RegValue::Dword(ReadUint32(json, where)).bytes;
    default:
      Fail(where, "\"data\" is for REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ and REG_DWORD; use \"hex\"");
  }
}

NamedValue ValueFromJson(const Json& json, const std::string& where) {
  RequireObject(json, where, {"name", "type", "data", "hex"});
  const Json* name = Member(json, "name");
  const Json* type = Member(json, "type");
  const Json* data = Member(json, "data");
  const Json* hex = Member(json, "hex");
  if (name == nullptr) Fail(where, "missing \"name\"");
  if (type == nullptr) Fail(where, "missing \"type\"");
  if ((data == nullptr) == (hex == nullptr))
    Fail(where, "needs exactly one of \"data\" and \"hex\"");
  NamedValue value;
  value.name = Utf8ToUtf16(ReadString(*name, Child(where, "name")));
  value.value.type = ReadType(*type, Child(where, "type"));
  value.value.bytes = data ? ReadData(*data, value.value.type, Child(where, "data"))
                           : ReadHex(*hex, Child(where, "hex"));
  return value;
}

void KeyFromJson(const Json& json, const std::string& where, Key& key) {
  RequireObject(json, where, {"keys", "values"});
  if (const Json* keys = Member(json, "keys")) {
    const std::string keysWhere = Child(where, "keys");
    if (!keys->is_object()) Fail(keysWhere, "expected an object");
    for (const auto& [name, child] : keys->items()) {
      const std::string childWhere = Child(keysWhere, name);
      const std::u16string wide = Utf8ToUtf16(name);
      if (wide.empty() || wide.find(u'\\') != std::u16string::npos) {
        Fail(childWhere, "a key name is not empty and has no backslash");
      }
      if (key.FindSubkey(wide) != nullptr)
        Fail(childWhere, "a key of this name (in any case) is already here");
      KeyFromJson(child, childWhere, *key.AddSubkey(wide));
    }
  }
  if (const Json* values = Member(json, "values")) {
    const std::string valuesWhere = Child(where, "values");
    if (!values->is_array()) Fail(valuesWhere, "expected an array");
    for (std::size_t i = 0; i < values->size(); ++i) {
      const std::string valueWhere = Child(valuesWhere, i);
      NamedValue value = ValueFromJson((*values)[i], valueWhere);
      if (key.FindValue(value.name) != nullptr) {
        Fail(Child(valueWhere, "name"), "a value of this name (in any case) is already here");
      }
      key.values.push_back(std::move(value));
    }
  }
}

void SystemFromJson(const Json& json, const std::string& where, SystemState& system) {
  RequireObject(json, where,
                {"major", "minor", "build", "platformId", "servicePack", "tabletPc", "ansiCodePage",
                 "oemCodePage", "administrator", "processId"});
  ReadOptionalUint32(json, "major", where, system.version.major);
  ReadOptionalUint32(json, "minor", where, system.version.minor);
  ReadOptionalUint32(json, "build", where, system.version.build);
  ReadOptionalUint32(json, "platformId", where, system.version.platformId);
  std::string servicePack = Utf16ToUtf8(system.version.servicePack);
  ReadOptionalString(json, "servicePack", where, servicePack);
  system.version.servicePack = Utf8ToUtf16(servicePack);
  ReadOptionalBool(json, "tabletPc", where, system.tabletPc);
  ReadOptionalUint32(json, "ansiCodePage", where, system.ansiCodePage);
  ReadOptionalUint32(json, "oemCodePage", where, system.oemCodePage);
  ReadOptionalBool(json, "administrator", where, system.administrator);
  ReadOptionalUint32(json, "processId", where, system.processId);
}

void NetworkFromJson(const Json& json, const std::string& where, NetworkState& network) {
  RequireObject(json, where, {"real", "hosts", "urls"});
  ReadOptionalBool(json, "real", where, network.real);
  if (const Json* hosts = Member(json, "hosts")) {
    const std::string hostsWhere = Child(where, "hosts");
    if (!hosts->is_array()) Fail(hostsWhere, "expected an array");
    for (std::size_t i = 0; i < hosts->size(); ++i) {
      const std::string hostWhere = Child(hostsWhere, i);
      const Json& item = RequireObject((*hosts)[i], hostWhere, {"address", "names", "replies"});
      const Json* address = Member(item, "address");
      if (address == nullptr) Fail(hostWhere, "missing \"address\"");
      SimHost host;
      host.address = ReadString(*address, Child(hostWhere, "address"));
      if (const Json* names = Member(item, "names")) {
        host.names = ReadStringList(*names, Child(hostWhere, "names"));
      }
      ReadOptionalString(item, "replies", hostWhere, host.replies);
      if (host.replies.find_first_not_of("+-~") != std::string::npos) {
        Fail(Child(hostWhere, "replies"), "use only '+', '-' and '~'");
      }
      network.hosts.push_back(std::move(host));
    }
  }
  if (const Json* urls = Member(json, "urls")) {
    const std::string urlsWhere = Child(where, "urls");
    if (!urls->is_array()) Fail(urlsWhere, "expected an array");
    for (std::size_t i = 0; i < urls->size(); ++i) {
      const std::string urlWhere = Child(urlsWhere, i);
      const Json& item = RequireObject((*urls)[i], urlWhere, {"url", "opens"});
      const Json* url = Member(item, "url");
      if (url == nullptr) Fail(urlWhere, "missing \"url\"");
      SimUrl entry;
      entry.url = ReadString(*url, Child(urlWhere, "url"));
      ReadOptionalBool(item, "opens", urlWhere, entry.opens);
      network.urls.push_back(std::move(entry));
    }
  }
}

constexpr const char* kSharingNames[] = {"none", "public", "private"};

const char* SharingName(SharingRole role) { return kSharingNames[static_cast<int>(role)]; }

SimConnection ConnectionFromJson(const Json& json, const std::string& where) {
  RequireObject(
      json, where,
      {"name", "guid", "status", "deviceName", "sharing", "firewall", "servedBySharingHost"});
  const Json* guid = Member(json, "guid");
  if (guid == nullptr) Fail(where, "missing \"guid\"");
  SimConnection connection;
  connection.guid = ReadString(*guid, Child(where, "guid"));
  ReadOptionalString(json, "name", where, connection.name);
  ReadOptionalUint32(json, "status", where, connection.status);
  ReadOptionalString(json, "deviceName", where, connection.deviceName);
  std::string sharing = "none";
  ReadOptionalString(json, "sharing", where, sharing);
  if (sharing == "public") {
    connection.sharing = SharingRole::Public;
  } else if (sharing == "private") {
    connection.sharing = SharingRole::Private;
  } else if (sharing != "none") {
    Fail(Child(where, "sharing"), "expected \"none\", \"public\" or \"private\"");
  }
  ReadOptionalBool(json, "firewall", where, connection.firewall);
  ReadOptionalBool(json, "servedBySharingHost", where, connection.servedBySharingHost);
  return connection;
}

constexpr const char* kSharingServiceNames[] = {"running", "stopped", "disabled"};

SharingServiceState SharingServiceFromJson(const Json& json, const std::string& where) {
  const std::string name = ReadString(json, where);
  for (int i = 0; i < 3; ++i) {
    if (name == kSharingServiceNames[i]) return static_cast<SharingServiceState>(i);
  }
  Fail(where, "expected \"running\", \"stopped\" or \"disabled\"");
}

// The sharing service keeps at most one public and one private connection.
void CheckSharingRoles(const std::vector<SimConnection>& connections) {
  for (SharingRole role : {SharingRole::Public, SharingRole::Private}) {
    int count = 0;
    for (const auto& c : connections) count += c.sharing == role ? 1 : 0;
    if (count > 1) {
      Fail("/connections",
           std::string("more than one connection is shared as ") + SharingName(role));
    }
  }
}

Json MessagesToJson(const std::vector<ShownMessage>& messages) {
  Json list = Json::array();
  for (const auto& m : messages) {
    list.push_back(Json{{"text", m.text}, {"caption", m.caption}, {"type", m.type}});
  }
  return list;
}

void MessagesFromJson(const Json& json, const std::string& where,
                      std::vector<ShownMessage>& messages) {
  if (!json.is_array()) Fail(where, "expected an array");
  for (std::size_t i = 0; i < json.size(); ++i) {
    const std::string at = Child(where, i);
    const Json& item = RequireObject(json[i], at, {"text", "caption", "type"});
    ShownMessage message;
    ReadOptionalString(item, "text", at, message.text);
    ReadOptionalString(item, "caption", at, message.caption);
    ReadOptionalUint32(item, "type", at, message.type);
    messages.push_back(std::move(message));
  }
}

void PrintersFromJson(const Json& json, const std::string& where, PrinterState& printers) {
  RequireObject(json, where, {"installed", "default"});
  if (const Json* installed = Member(json, "installed")) {
    printers.installed = ReadStringList(*installed, Child(where, "installed"));
  }
  if (const Json* chosen = Member(json, "default"); chosen != nullptr && !chosen->is_null()) {
    printers.defaultPrinter = ReadString(*chosen, Child(where, "default"));
  }
}

ListedAdapter AdapterFromJson(const Json& json, const std::string& where) {
  RequireObject(json, where,
                {"guid", "description", "index", "type", "primaryWins", "secondaryWins"});
  const Json* guid = Member(json, "guid");
  if (guid == nullptr) Fail(where, "missing \"guid\"");
  ListedAdapter adapter;
  adapter.guid = ReadString(*guid, Child(where, "guid"));
  ReadOptionalString(json, "description", where, adapter.description);
  ReadOptionalUint32(json, "index", where, adapter.index);
  ReadOptionalUint32(json, "type", where, adapter.type);
  ReadOptionalString(json, "primaryWins", where, adapter.primaryWins);
  ReadOptionalString(json, "secondaryWins", where, adapter.secondaryWins);
  return adapter;
}

const char* ProgramKindText(ProgramKind kind) {
  switch (kind) {
    case ProgramKind::NetworkShell:
      return "networkShell";
    case ProgramKind::AdHocTool:
      return "adHocTool";
    case ProgramKind::Idle:
      break;
  }
  return "idle";
}

// Processes, programs, leases and files: the state the network shell and the file service keep.
// File contents are hex, since scripts are 8-bit text of any code page.
Json ProcessesToJson(const ProcessState& p, const FileState& f) {
  Json table = Json::array();
  for (const auto& t : p.table) {
    Json entry = Json{{"id", t.id}, {"image", t.image}, {"openable", t.openable}};
    if (t.scansLeft) entry["scansLeft"] = *t.scansLeft;
    if (t.endsAtTick) entry["endsAtTick"] = *t.endsAtTick;
    table.push_back(std::move(entry));
  }
  Json programs = Json::array();
  for (const auto& g : p.programs) {
    programs.push_back(
        Json{{"path", g.path}, {"kind", ProgramKindText(g.kind)}, {"runMs", g.runMs}});
  }
  Json leases = Json::object();
  for (const auto& [guid, l] : p.leases) {
    leases[guid] = Json{{"address", l.address}, {"mask", l.mask}, {"gateway", l.gateway},
                        {"nameServers", l.nameServers}, {"server", l.server}};
  }
  Json files = Json::object();
  for (const auto& [path, bytes] : f.files) {
    files[path] = Hex(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  }
  Json started = Json::array();
  for (const StartedProcess& s : p.started) {
    started.push_back(Json{
        {"application", s.application}, {"commandLine", s.commandLine}, {"show", s.showCommand}});
  }
  return Json{{"table", std::move(table)},         {"nextId", p.nextId},
              {"systemDirectory", p.systemDirectory}, {"currentDirectory", p.currentDirectory},
              {"programs", std::move(programs)},   {"leases", std::move(leases)},
              {"files", std::move(files)},         {"started", std::move(started)},
              {"shellOutput", p.shellOutput}};
}

void ProcessesFromJson(const Json& json, const std::string& where, ProcessState& p, FileState& f) {
  RequireObject(json, where,
                {"table", "nextId", "systemDirectory", "currentDirectory", "programs", "leases",
                 "files", "started", "shellOutput"});
  if (const Json* table = Member(json, "table")) {
    if (!table->is_array()) Fail(Child(where, "table"), "expected an array");
    for (std::size_t i = 0; i < table->size(); ++i) {
      const std::string at = Child(Child(where, "table"), i);
      const Json& item = RequireObject((*table)[i], at,
                                       {"id", "image", "openable", "scansLeft", "endsAtTick"});
      SimProcess process;
      ReadOptionalUint32(item, "id", at, process.id);
      ReadOptionalString(item, "image", at, process.image);
      ReadOptionalBool(item, "openable", at, process.openable);
      if (const Json* scans = Member(item, "scansLeft")) {
        process.scansLeft = ReadUint32(*scans, Child(at, "scansLeft"));
      }
      if (const Json* ends = Member(item, "endsAtTick")) {
        process.endsAtTick = ReadUint32(*ends, Child(at, "endsAtTick"));
      }
      p.table.push_back(process);
    }
  }
  ReadOptionalUint32(json, "nextId", where, p.nextId);
  ReadOptionalString(json, "systemDirectory", where, p.systemDirectory);
  ReadOptionalString(json, "currentDirectory", where, p.currentDirectory);
  if (const Json* programs = Member(json, "programs")) {
    if (!programs->is_array()) Fail(Child(where, "programs"), "expected an array");
    p.programs.clear();
    for (std::size_t i = 0; i < programs->size(); ++i) {
      const std::string at = Child(Child(where, "programs"), i);
      const Json& item = RequireObject((*programs)[i], at, {"path", "kind", "runMs"});
      SimProgram program;
      ReadOptionalString(item, "path", at, program.path);
      std::string kind = "idle";
      ReadOptionalString(item, "kind", at, kind);
      if (kind == "networkShell") {
        program.kind = ProgramKind::NetworkShell;
      } else if (kind == "adHocTool") {
        program.kind = ProgramKind::AdHocTool;
      } else if (kind == "idle") {
        program.kind = ProgramKind::Idle;
      } else {
        Fail(Child(at, "kind"), "expected \"networkShell\", \"adHocTool\" or \"idle\"");
      }
      ReadOptionalUint32(item, "runMs", at, program.runMs);
      p.programs.push_back(program);
    }
  }
  if (const Json* leases = Member(json, "leases")) {
    if (!leases->is_object()) Fail(Child(where, "leases"), "expected an object");
    for (const auto& [guid, item] : leases->items()) {
      const std::string at = Child(Child(where, "leases"), guid);
      RequireObject(item, at, {"address", "mask", "gateway", "nameServers", "server"});
      SimLease lease;
      ReadOptionalString(item, "address", at, lease.address);
      ReadOptionalString(item, "mask", at, lease.mask);
      ReadOptionalString(item, "gateway", at, lease.gateway);
      ReadOptionalString(item, "nameServers", at, lease.nameServers);
      ReadOptionalString(item, "server", at, lease.server);
      p.leases[guid] = lease;
    }
  }
  if (const Json* files = Member(json, "files")) {
    if (!files->is_object()) Fail(Child(where, "files"), "expected an object");
    for (const auto& [path, item] : files->items()) {
      const auto bytes = ReadHex(item, Child(Child(where, "files"), path));
      f.files[path] = std::string(bytes.begin(), bytes.end());
    }
  }
  if (const Json* started = Member(json, "started")) {
    if (!started->is_array()) Fail(Child(where, "started"), "expected an array");
    for (std::size_t i = 0; i < started->size(); ++i) {
      const Json& item = (*started)[i];
      const std::string at = Child(Child(where, "started"), i);
      StartedProcess start;
      if (item.is_array()) {  // as files before the show command hold it
        const auto pair = ReadStringList(item, at);
        if (pair.size() != 2) Fail(at, "expected [application, command line]");
        start.application = pair[0];
        start.commandLine = pair[1];
      } else {
        RequireObject(item, at, {"application", "commandLine", "show"});
        ReadOptionalString(item, "application", at, start.application);
        ReadOptionalString(item, "commandLine", at, start.commandLine);
        ReadOptionalUint32(item, "show", at, start.showCommand);
      }
      p.started.push_back(std::move(start));
    }
  }
  if (const Json* output = Member(json, "shellOutput")) {
    p.shellOutput = ReadStringList(*output, Child(where, "shellOutput"));
  }
}

}  // namespace

Json MachineToJson(const Machine::State& state) {
  const SystemState& s = state.system;
  Json system = Json::object();
  system["major"] = s.version.major;
  system["minor"] = s.version.minor;
  system["build"] = s.version.build;
  system["platformId"] = s.version.platformId;
  system["servicePack"] = Utf16ToUtf8(s.version.servicePack);
  system["tabletPc"] = s.tabletPc;
  system["ansiCodePage"] = s.ansiCodePage;
  system["oemCodePage"] = s.oemCodePage;
  system["administrator"] = s.administrator;
  system["processId"] = s.processId;

  Json adapters = Json::array();
  for (const auto& a : state.adapters) {
    adapters.push_back(Json{{"guid", a.guid},
                            {"description", a.description},
                            {"index", a.index},
                            {"type", a.type},
                            {"primaryWins", a.primaryWins},
                            {"secondaryWins", a.secondaryWins}});
  }

  Json hosts = Json::array();
  for (const auto& h : state.network.hosts) {
    hosts.push_back(Json{{"address", h.address}, {"names", h.names}, {"replies", h.replies}});
  }
  Json urls = Json::array();
  for (const auto& u : state.network.urls) urls.push_back(Json{{"url", u.url}, {"opens", u.opens}});
  Json network = Json{{"real", state.network.real}, {"hosts", std::move(hosts)},
                      {"urls", std::move(urls)}};

  Json connections = Json::array();
  for (const auto& c : state.connections) {
    connections.push_back(Json{{"name", c.name},
                               {"guid", c.guid},
                               {"status", c.status},
                               {"deviceName", c.deviceName},
                               {"sharing", SharingName(c.sharing)},
                               {"firewall", c.firewall},
                               {"servedBySharingHost", c.servedBySharingHost}});
  }
  Json printers = Json{{"installed", state.printers.installed}, {"default", nullptr}};
  if (state.printers.defaultPrinter) printers["default"] = *state.printers.defaultPrinter;

  Json registry = Json::object();
  registry[kLocalMachineName] = KeyToJson(*state.localMachine);
  registry[kCurrentUserName] = KeyToJson(*state.currentUser);

  Json document = Json::object();
  document["format"] = kFormat;
  document["version"] = kVersion;
  document["system"] = std::move(system);
  document["adapters"] = std::move(adapters);
  document["network"] = std::move(network);
  document["connections"] = std::move(connections);
  document["sharingService"] = kSharingServiceNames[static_cast<int>(state.sharingService)];
  document["printers"] = std::move(printers);
  Json commands = Json::array();
  for (const CommandRun& run : state.commandsRun) {
    commands.push_back(Json{{"commandLine", run.commandLine}, {"show", run.showCommand}});
  }
  document["commandsRun"] = std::move(commands);
  document["messageBoxes"] = MessagesToJson(state.messagesShown);
  document["tickCount"] = state.tickCount;
  document["processes"] = ProcessesToJson(state.processes, state.files);
  document["services"] = ServicesToJson(state.services);
  document["shell"] = ShellToJson(state.shellState);
  document["wireless"] = WirelessToJson(state.wireless);
  document["driverRequests"] = DriverRequestsToJson(state.driver);
  document["networkConfiguration"] = NetworkConfigurationToJson(state.netcfg);
  document["registry"] = std::move(registry);
  return document;
}

void MachineFromJson(const Json& document, Machine::State& state) {
  RequireObject(
      document, "",
      {"format", "version", "system", "adapters", "network", "connections", "sharingService",
       "printers", "commandsRun", "messageBoxes", "tickCount", "processes", "services", "shell",
       "wireless", "driverRequests", "networkConfiguration", "registry"});
  const Json* format = Member(document, "format");
  if (format == nullptr || !format->is_string() || format->get<std::string>() != kFormat) {
    Fail("/format", std::string("not a machine file (expected \"") + kFormat + "\")");
  }
  const Json* version = Member(document, "version");
  if (version == nullptr) Fail("/version", "missing");
  if (ReadUint32(*version, "/version") != kVersion) {
    Fail("/version", "unsupported version " + version->dump() + " (this build reads version " +
                         std::to_string(kVersion) + ")");
  }
  if (const Json* system = Member(document, "system")) {
    SystemFromJson(*system, "/system", state.system);
  }
  if (const Json* adapters = Member(document, "adapters")) {
    if (!adapters->is_array()) Fail("/adapters", "expected an array");
    for (std::size_t i = 0; i < adapters->size(); ++i) {
      state.adapters.push_back(AdapterFromJson((*adapters)[i], Child("/adapters", i)));
    }
  }
  if (const Json* network = Member(document, "network")) {
    NetworkFromJson(*network, "/network", state.network);
  }
  if (const Json* connections = Member(document, "connections")) {
    if (!connections->is_array()) Fail("/connections", "expected an array");
    for (std::size_t i = 0; i < connections->size(); ++i) {
      state.connections.push_back(
          ConnectionFromJson((*connections)[i], Child("/connections", i)));
    }
    CheckSharingRoles(state.connections);
  }
  if (const Json* service = Member(document, "sharingService")) {
    state.sharingService = SharingServiceFromJson(*service, "/sharingService");
  }
  if (const Json* printers = Member(document, "printers")) {
    PrintersFromJson(*printers, "/printers", state.printers);
  }
  if (const Json* commands = Member(document, "commandsRun")) {
    if (!commands->is_array()) Fail("/commandsRun", "expected an array");
    for (std::size_t i = 0; i < commands->size(); ++i) {
      const Json& item = (*commands)[i];
      const std::string at = Child("/commandsRun", i);
      CommandRun run;
      if (item.is_string()) {
        run.commandLine = item.get<std::string>();  // as files before the show command hold it
      } else {
        RequireObject(item, at, {"commandLine", "show"});
        ReadOptionalString(item, "commandLine", at, run.commandLine);
        ReadOptionalUint32(item, "show", at, run.showCommand);
      }
      state.commandsRun.push_back(std::move(run));
    }
  }
  if (const Json* messages = Member(document, "messageBoxes")) {
    MessagesFromJson(*messages, "/messageBoxes", state.messagesShown);
  }
  ReadOptionalUint32(document, "tickCount", "", state.tickCount);
  if (const Json* processes = Member(document, "processes")) {
    ProcessesFromJson(*processes, "/processes", state.processes, state.files);
  }
  if (const Json* services = Member(document, "services")) {
    ServicesFromJson(*services, "/services", state.services);
  }
  if (const Json* shell = Member(document, "shell")) {
    ShellFromJson(*shell, "/shell", state.shellState);
  }
  if (const Json* wireless = Member(document, "wireless")) {
    WirelessFromJson(*wireless, "/wireless", state.wireless);
  }
  if (const Json* requests = Member(document, "driverRequests")) {
    DriverRequestsFromJson(*requests, "/driverRequests", state.driver);
  }
  if (const Json* netcfg = Member(document, "networkConfiguration")) {
    NetworkConfigurationFromJson(*netcfg, "/networkConfiguration", state.netcfg);
  }
  if (const Json* registry = Member(document, "registry")) {
    RequireObject(*registry, "/registry", {kLocalMachineName, kCurrentUserName});
    if (const Json* hive = Member(*registry, kLocalMachineName)) {
      KeyFromJson(*hive, Child("/registry", kLocalMachineName), *state.localMachine);
    }
    if (const Json* hive = Member(*registry, kCurrentUserName)) {
      KeyFromJson(*hive, Child("/registry", kCurrentUserName), *state.currentUser);
    }
  }
}

}  // namespace nebrin::sim
