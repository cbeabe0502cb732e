#include "platform/sim/driver_json.h"

#include "platform/sim/json_reading.h"
#include "platform/sim/sim_text.h"

namespace nebrin::sim {

Json DriverRequestsToJson(const DriverState& driver) {
  Json requests = Json::array();
  for (const DriverRequest& r : driver.requests) {
    requests.push_back(Json{
        {"adapter", r.adapter}, {"code", r.code}, {"input", Hex(r.input)}, {"error", r.error}});
  }
  return requests;
}

void DriverRequestsFromJson(const Json& json, const std::string& where, DriverState& driver) {
  if (!json.is_array()) Fail(where, "expected an array");
  for (std::size_t i = 0; i < json.size(); ++i) {
    const std::string at = Child(where, i);
    const Json& item = RequireObject(json[i], at, {"adapter", "code", "input", "error"});
    DriverRequest request;
    ReadOptionalString(item, "adapter", at, request.adapter);
    ReadOptionalUint32(item, "code", at, request.code);
    if (const Json* input = Member(item, "input"))
      request.input = ReadHex(*input, Child(at, "input"));
    ReadOptionalUint32(item, "error", at, request.error);
    driver.requests.push_back(std::move(request));
  }
}

Json NetworkConfigurationToJson(const NetCfgState& netcfg) {
  Json components = Json::array();
  for (const SimComponent& c : netcfg.components) components.push_back(Json{{"id", c.id}});
  Json setupFiles = Json::array();
  for (const SimSetupFile& f : netcfg.setupFiles) {
    setupFiles.push_back(Json{{"name", f.name}, {"source", f.source}});
  }
  return Json{{"writeLockHeldBy", netcfg.writeLockHeldBy},
              {"components", std::move(components)},
              {"setupFiles", std::move(setupFiles)}};
}

void NetworkConfigurationFromJson(const Json& json, const std::string& where, NetCfgState& netcfg) {
  RequireObject(json, where, {"writeLockHeldBy", "components", "setupFiles"});
  ReadOptionalString(json, "writeLockHeldBy", where, netcfg.writeLockHeldBy);
  if (const Json* components = Member(json, "components")) {
    const std::string list = Child(where, "components");
    if (!components->is_array()) Fail(list, "expected an array");
    for (std::size_t i = 0; i < components->size(); ++i) {
      const std::string at = Child(list, i);
      const Json& item = RequireObject((*components)[i], at, {"id"});
      const Json* id = Member(item, "id");
      if (id == nullptr) Fail(at, "missing \"id\"");
      netcfg.components.push_back(SimComponent{ReadString(*id, Child(at, "id"))});
    }
  }
  if (const Json* files = Member(json, "setupFiles")) {
    const std::string list = Child(where, "setupFiles");
    if (!files->is_array()) Fail(list, "expected an array");
    for (std::size_t i = 0; i < files->size(); ++i) {
      const std::string at = Child(list, i);
      const Json& item = RequireObject((*files)[i], at, {"name", "source"});
      const Json* name = Member(item, "name");
      if (name == nullptr) Fail(at, "missing \"name\"");
      SimSetupFile file{ReadString(*name, Child(at, "name")), ""};
      if (file.name.empty() || file.name.find('\\') != std::string::npos) {
        Fail(Child(at, "name"), "a file name in the store, without folder");
      }
      for (const SimSetupFile& other : netcfg.setupFiles) {
        if (SameName(Utf8ToUtf16(other.name), Utf8ToUtf16(file.name))) {
          Fail(Child(at, "name"), "a setup file of this name (in any case) is already here");
        }
      }
      ReadOptionalString(item, "source", at, file.source);
      netcfg.setupFiles.push_back(std::move(file));
    }
  }
}

}  // namespace nebrin::sim
