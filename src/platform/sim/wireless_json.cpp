#include "platform/sim/wireless_json.h"

#include <algorithm>
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

struct NumberName {
  std::uint32_t value;
  const char* name;
};

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

// The NDIS authentication modes and WEP (encryption) statuses by name.
constexpr std::array<NumberName, 8> kAuthenticationNames{{
    {0, "open"},
    {1, "shared"},
    {2, "autoSwitch"},
    {3, "wpa"},
    {4, "wpaPsk"},
    {5, "wpaNone"},
    {6, "wpa2"},
    {7, "wpa2Psk"},
}};
constexpr std::array<NumberName, 8> kWepStatusNames{{
    {0, "wepEnabled"},
    {1, "disabled"},
    {2, "wepKeyAbsent"},
    {3, "notSupported"},
    {4, "tkipEnabled"},
    {5, "tkipKeyAbsent"},
    {6, "aesEnabled"},
    {7, "aesKeyAbsent"},
}};

template <std::size_t N>
Json NameOf(const std::array<NumberName, N>& names, std::uint32_t value) {
  for (const auto& entry : names) {
    if (entry.value == value) return entry.name;
  }
  return value;
}

// A name of the table, or the number itself.
template <std::size_t N>
std::uint32_t ValueOf(const std::array<NumberName, N>& names, const Json& json,
                      const std::string& where) {
  if (json.is_number()) return ReadUint32(json, where);
  const std::string text = ReadString(json, where);
  for (const auto& entry : names) {
    if (text == entry.name) return entry.value;
  }
  Fail(where, "unknown name \"" + text + "\"");
}

// Bytes as readable text under `name` when they are printable ASCII, else as hex under
// `name` + "Hex".
void PutBytes(Json& object, const std::string& name, const std::vector<std::uint8_t>& bytes) {
  const bool printable =
      std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b >= 0x20 && b < 0x7F; });
  if (printable) {
    object[name] = std::string(bytes.begin(), bytes.end());
  } else {
    object[name + "Hex"] = Hex(bytes);
  }
}

std::vector<std::uint8_t> ReadBytes(const Json& object, const std::string& name,
                                    const std::string& where) {
  const std::string hexName = name + "Hex";
  const Json* text = Member(object, name.c_str());
  const Json* hex = Member(object, hexName.c_str());
  if (text != nullptr && hex != nullptr) {
    Fail(where, "\"" + name + "\" and \"" + hexName + "\" together");
  }
  if (hex != nullptr) return ReadHex(*hex, Child(where, hexName));
  if (text == nullptr) return {};
  const std::string value = ReadString(*text, Child(where, name));
  return std::vector<std::uint8_t>(value.begin(), value.end());
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
    Json keys = Json::array();
    for (const auto& [index, material] : adapter.keys) {
      Json key = Json{{"index", index}};
      PutBytes(key, "key", material);
      keys.push_back(std::move(key));
    }
    Json entry = Json{{"mode", mode},
                      {"authentication", NameOf(kAuthenticationNames, adapter.authentication)},
                      {"wepStatus", NameOf(kWepStatusNames, adapter.wepStatus)},
                      {"keys", std::move(keys)}};
    if (adapter.transmitKey) entry["transmitKey"] = *adapter.transmitKey;
    PutBytes(entry, "ssid", adapter.ssid);
    entry["associated"] = adapter.associated;
    entry["inRange"] = adapter.inRange;
    adapters[guid] = std::move(entry);
  }
  return adapters;
}

void WirelessFromJson(const Json& json, const std::string& where, WirelessState& wireless) {
  if (!json.is_object()) Fail(where, "expected an object");
  for (const auto& [guid, item] : json.items()) {
    const std::string at = Child(where, guid);
    RequireObject(item, at,
                  {"mode", "authentication", "wepStatus", "keys", "transmitKey", "ssid", "ssidHex",
                   "associated", "inRange"});
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
    if (const Json* mode = Member(item, "authentication")) {
      adapter.authentication = ValueOf(kAuthenticationNames, *mode, Child(at, "authentication"));
    }
    if (const Json* status = Member(item, "wepStatus")) {
      adapter.wepStatus = ValueOf(kWepStatusNames, *status, Child(at, "wepStatus"));
    }
    if (const Json* keys = Member(item, "keys")) {
      const std::string list = Child(at, "keys");
      if (!keys->is_array()) Fail(list, "expected an array");
      for (std::size_t i = 0; i < keys->size(); ++i) {
        const std::string keyAt = Child(list, i);
        const Json& key = RequireObject((*keys)[i], keyAt, {"index", "key", "keyHex"});
        const Json* index = Member(key, "index");
        if (index == nullptr) Fail(keyAt, "missing \"index\"");
        const std::uint32_t number = ReadUint32(*index, Child(keyAt, "index"));
        if (number > 3) Fail(Child(keyAt, "index"), "a WEP key index is 0 to 3");
        if (adapter.keys.count(number) != 0)
          Fail(Child(keyAt, "index"), "a second key at this index");
        adapter.keys[number] = ReadBytes(key, "key", keyAt);
      }
    }
    if (const Json* transmit = Member(item, "transmitKey")) {
      adapter.transmitKey = ReadUint32(*transmit, Child(at, "transmitKey"));
    }
    adapter.ssid = ReadBytes(item, "ssid", at);
    if (adapter.ssid.size() > 32) Fail(Child(at, "ssid"), "an SSID holds at most 32 bytes");
    ReadOptionalBool(item, "associated", at, adapter.associated);
    if (const Json* range = Member(item, "inRange")) {
      adapter.inRange = ReadStringList(*range, Child(at, "inRange"));
    }
    wireless[guid] = std::move(adapter);
  }
}

}  // namespace nebrin::sim
