// The machine file's members for the companion driver's recorded requests and the network
// configuration. The layout is described in docs/machine-file.md.
#pragma once

#include <string>

#include "platform/sim/machine_json.h"

namespace nebrin::sim {

Json DriverRequestsToJson(const DriverState& driver);
void DriverRequestsFromJson(const Json& json, const std::string& where, DriverState& driver);
Json NetworkConfigurationToJson(const NetCfgState& netcfg);
void NetworkConfigurationFromJson(const Json& json, const std::string& where, NetCfgState& netcfg);

}  // namespace nebrin::sim
