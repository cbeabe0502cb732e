// The 802.11 state of the simulated machine's wireless adapters.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace nebrin::sim {

// NDIS_802_11_NETWORK_INFRASTRUCTURE.
enum class WirelessMode : std::uint32_t { AdHoc = 0, Infrastructure = 1, AutoUnknown = 2 };

// The 802.11 state of one wireless adapter.
struct SimWirelessAdapter {
  WirelessMode mode = WirelessMode::Infrastructure;
};

// By adapter GUID; a wireless adapter (type 71) not listed is in infrastructure mode.
using WirelessState = std::map<std::string, SimWirelessAdapter>;

}  // namespace nebrin::sim
