#include "platform/sim/wireless_json.h"

#include <array>

#include "platform/sim/json_reading.h"
#include "platform/sim/sim_text.h"

namespace nebrin::sim {
namespace {

struct StateName {
  std::uint32_t state;
  const char* name;
};
constexpr std::array<StateName, 4> kStateNames{{
    {1, "stopped"},
    {2, "startPending"},
    {3, "stopPending"},
    {4, "running"},
}};

struct ModeName {
  WirelessMode mode;
  const char* name;
};
constexpr std::array<ModeName, 3> kModeNames{{
    {WirelessMode::AdHoc, "adHoc"},
    {WirelessMode::Infrastructure, "infrastructure"},
    {WirelessMode::AutoUnknown, "auto"},
}};

const char* StateText(std::uint32_t state) {
  for (const auto& entry : kStateNames) {
    if (entry.state == state) return entry.name;
  }
  return "stopped";
}

SimService ServiceFromJson(const Json& json, const std::string& where) {
  RequireObject(json, where,
                {"name", "displayName", "type", "startType", "errorControl", "binaryPath", "state",
                 "settlesAtTick", "startMs", "stopMs", "markedForDeletion"});
  const Json* name = Member(json, "name");
  if (name == nullptr) Fail(where, "missing \"name\"");
  SimService service;
  service.name = ReadString(*name, Child(where, "name"));
  if (service.name.empty()) Fail(Child(where, "name"), "a service name is not empty");
  service.displayName = service.name;
  ReadOptionalString(json, "displayName", where, service.displayName);
  ReadOptionalUint32(json, "type", where, service.type);
  ReadOptionalUint32(json, "startType", where, service.startType);
  ReadOptionalUint32(json, "errorControl", where, service.errorControl);
  ReadOptionalString(json, "binaryPath", where, service.binaryPath);
  if (const Json* state = Member(json, "state")) {
    const std::string text = ReadString(*state, Child(where, "state"));
    bool known = false;
    for (const auto& entry : kStateNames) {
      if (text == entry.name) {
        service.state = entry.state;
        known = true;
      }
    }
    if (!known) {
      Fail(Child(where, "state"),
           "expected \"stopped\", \"startPending\", \"running\" or \"stopPending\"");
    }
  }
  if (const Json* settles = Member(json, "settlesAtTick")) {
    service.settlesAtTick = ReadUint32(*settles, Child(where, "settlesAtTick"));
  }
  ReadOptionalUint32(json, "startMs", where, service.startMs);
  ReadOptionalUint32(json, "stopMs", where, service.stopMs);
  ReadOptionalBool(json, "markedForDeletion", where, service.markedForDeletion);
  return service;
}

}  // namespace

Json ServicesToJson(const ServiceTable& table) {
  Json services = Json::array();
  for (const SimService& s : table.services) {
    Json entry = Json{{"name", s.name},
                      {"displayName", s.displayName},
                      {"type", s.type},
                      {"startType", s.startType},
                      {"errorControl", s.errorControl},
                      {"binaryPath", s.binaryPath},
                      {"state", StateText(s.state)}};
    if (s.settlesAtTick) entry["settlesAtTick"] = *s.settlesAtTick;
    entry["startMs"] = s.startMs;
    entry["stopMs"] = s.stopMs;
    entry["markedForDeletion"] = s.markedForDeletion;
    services.push_back(std::move(entry));
  }
  return services;
}

void ServicesFromJson(const Json& json, const std::string& where, ServiceTable& table) {
  if (!json.is_array()) Fail(where, "expected an array");
  for (std::size_t i = 0; i < json.size(); ++i) {
    const std::string at = Child(where, i);
    SimService service = ServiceFromJson(json[i], at);
    for (const SimService& other : table.services) {
      if (SameName(Utf8ToUtf16(other.name), Utf8ToUtf16(service.name))) {
        Fail(Child(at, "name"), "a service of this name (in any case) is already here");
      }
    }
    table.services.push_back(std::move(service));
  }
}

Json ShellToJson(const ShellState& shell) {
  Json commands = Json::array();
  for (const MenuCommand& c : shell.menuCommands) {
    commands.push_back(Json{{"connection", c.connection}, {"offset", c.offset}});
  }
  return Json{{"programFiles", shell.programFiles}, {"menuCommands", std::move(commands)}};
}

void ShellFromJson(const Json& json, const std::string& where, ShellState& shell) {
  RequireObject(json, where, {"programFiles", "menuCommands"});
  ReadOptionalString(json, "programFiles", where, shell.programFiles);
  if (const Json* commands = Member(json, "menuCommands")) {
    const std::string list = Child(where, "menuCommands");
    if (!commands->is_array()) Fail(list, "expected an array");
    for (std::size_t i = 0; i < commands->size(); ++i) {
      const std::string at = Child(list, i);
      const Json& item = RequireObject((*commands)[i], at, {"connection", "offset"});
      MenuCommand command;
      ReadOptionalString(item, "connection", at, command.connection);
      ReadOptionalUint32(item, "offset", at, command.offset);
      shell.menuCommands.push_back(command);
    }
  }
}

Json WirelessToJson(const WirelessState& wireless) {
  Json adapters = Json::object();
  for (const auto& [guid, adapter] : wireless) {
    const char* mode = "infrastructure";
    for (const auto& entry : kModeNames) {
      if (entry.mode == adapter.mode) mode = entry.name;
    }
    adapters[guid] = Json{{"mode", mode}};
  }
  return adapters;
}

void WirelessFromJson(const Json& json, const std::string& where, WirelessState& wireless) {
  if (!json.is_object()) Fail(where, "expected an object");
  for (const auto& [guid, item] : json.items()) {
    const std::string at = Child(where, guid);
    RequireObject(item, at, {"mode"});
    SimWirelessAdapter adapter;
    if (const Json* mode = Member(item, "mode")) {
      const std::string text = ReadString(*mode, Child(at, "mode"));
      bool known = false;
      for (const auto& entry : kModeNames) {
        if (text == entry.name) {
          adapter.mode = entry.mode;
          known = true;
        }
      }
      if (!known) Fail(Child(at, "mode"), "expected \"adHoc\", \"infrastructure\" or \"auto\"");
    }
    wireless[guid] = adapter;
  }
}

}  // namespace nebrin::sim
