// The 802.11 state of the simulated machine's wireless adapters, as the companion driver's set
// requests and the ad hoc tool leave it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace nebrin::sim {

// NDIS_802_11_NETWORK_INFRASTRUCTURE.
enum class WirelessMode : std::uint32_t { AdHoc = 0, Infrastructure = 1, AutoUnknown = 2 };

// The 802.11 state of one wireless adapter.
struct SimWirelessAdapter {
  WirelessMode mode = WirelessMode::Infrastructure;
  std::uint32_t authentication = 0;  // NDIS_802_11_AUTHENTICATION_MODE: 0 open, 1 shared, ...
  std::uint32_t wepStatus = 1;       // NDIS_802_11_WEP_STATUS: 0 enabled, 1 disabled, ...
  std::map<std::uint32_t, std::vector<std::uint8_t>> keys;  // WEP keys by index (0 to 3)
  std::optional<std::uint32_t> transmitKey;                 // the index of the transmit key
  std::vector<std::uint8_t> ssid;                           // the SSID set last
  bool associated = false;
  // The SSIDs of the infrastructure networks whose access points are in reach.
  std::vector<std::string> inRange;
};

// By adapter GUID; a wireless adapter (type 71) not listed has the state above.
using WirelessState = std::map<std::string, SimWirelessAdapter>;

}  // namespace nebrin::sim
