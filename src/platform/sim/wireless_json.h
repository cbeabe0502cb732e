// The machine file's members for the service database, the shell and the wireless adapters'
// 802.11 state. The layout is described in docs/machine-file.md.
#pragma once

#include <string>

#include "platform/sim/machine_json.h"

namespace nebrin::sim {

Json ServicesToJson(const ServiceTable& table);
void ServicesFromJson(const Json& json, const std::string& where, ServiceTable& table);
Json ShellToJson(const ShellState& shell);
void ShellFromJson(const Json& json, const std::string& where, ShellState& shell);
Json WirelessToJson(const WirelessState& wireless);
void WirelessFromJson(const Json& json, const std::string& where, WirelessState& wireless);

}  // namespace nebrin::sim
