// Small adapter descriptions for discovery tests.
#pragma once

#include <string>

#include "platform/sim/machine.h"

namespace nebrin::testing {

// A wired PCI adapter taking its address by DHCP, with a lease.
inline sim::AdapterSpec WiredDhcp(int n) {
  sim::AdapterSpec spec;
  spec.listed.guid = "{00000000-0000-0000-0000-0000000000" + std::to_string(10 + n) + "}";
  spec.listed.description = "Wired " + std::to_string(n);
  spec.listed.index = static_cast<std::uint32_t>(n + 2);
  spec.listed.primaryWins = "192.168.7.5";
  spec.connectionName = "Local Area Connection " + std::to_string(n);
  spec.pnpInstanceId = "PCI\\VEN_8086&DEV_1050\\" + std::to_string(n);
  spec.service = "E100B";
  spec.deviceDesc = "Wired Adapter " + std::to_string(n);
  spec.mediaSubType = 1;
  spec.dhcp = true;
  spec.lease = sim::AdapterSpec::Lease{"192.168.7.20", "255.255.255.0", "192.168.7.1",
                                       "192.168.7.1 192.168.7.2", "192.168.7.1"};
  return spec;
}

// A wireless adapter with static settings.
inline sim::AdapterSpec WirelessStatic(int n) {
  sim::AdapterSpec spec;
  spec.listed.guid = "{11111111-0000-0000-0000-0000000000" + std::to_string(10 + n) + "}";
  spec.listed.description = "Wireless " + std::to_string(n);
  spec.listed.index = static_cast<std::uint32_t>(n + 20);
  spec.listed.type = 71;
  spec.connectionName = "Wireless Network Connection " + std::to_string(n);
  spec.pnpInstanceId = "PCMCIA\\WLAN\\" + std::to_string(n);
  spec.service = "WLPC";
  spec.deviceDesc = "Wireless Card " + std::to_string(n);
  spec.mediaSubType = 2;
  spec.ipAddresses = {"10.0.0.5"};
  spec.subnetMasks = {"255.255.255.0"};
  spec.gateways = {"10.0.0.1"};
  spec.nameServers = "10.0.0.1,10.0.0.2";
  spec.metric = 20;
  return spec;
}

}  // namespace nebrin::testing
