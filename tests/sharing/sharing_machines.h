// Machines and profiles for the sharing tests: a wired adapter on DHCP (a sharing host's public
// side) and a wireless card with fixed addresses (its private side), their two connections, and a
// stored profile that shares them. The GUIDs have letters, as the system writes them (upper case),
// so that a profile holding them in another case can be told apart.
#pragma once

#include <memory>
#include <string>

#include "NebrinCoreDll.h"
#include "apply/apply_machines.h"
#include "netstate/discovery_machines.h"
#include "platform/sim/machine.h"
#include "support/sim_fixture.h"

namespace nebrin::testing {

inline const std::string kWiredGuid = "{5D2A7C1E-0B3F-4A8D-9E6C-1F2B3C4D5E6F}";
inline const std::string kWirelessGuid = "{C4E6F8A0-2B3D-4E5F-8A9B-0C1D2E3F4A5B}";
inline const std::string kStoreRoot = "Software\\Corvane\\Nebrin";
inline const std::string kMachineWideKey = "SOFTWARE\\CORVANE\\Nebrin";

inline std::shared_ptr<sim::Machine> SharingMachine() {
  auto m = std::make_shared<sim::Machine>();
  sim::AdapterSpec wired = WiredDhcp(1);
  wired.listed.guid = kWiredGuid;
  sim::AdapterSpec wireless = WirelessStatic(1);
  wireless.listed.guid = kWirelessGuid;
  m->AddAdapter(wired);
  m->AddAdapter(wireless);
  // The router keeps leasing the wired adapter its address.
  const sim::AdapterSpec::Lease lease = *WiredDhcp(1).lease;
  m->process_state().leases[kWiredGuid] =
      sim::SimLease{lease.address, lease.mask, lease.gateway, lease.nameServers, lease.server};
  m->network_connections() = {
      {"Local Area Connection 1", kWiredGuid, 2, "Wired Adapter 1"},
      {"Wireless Network Connection 1", kWirelessGuid, 2, "Wireless Card 1"},
  };
  m->printers().installed = {"Laser", "Inkjet"};
  m->printers().defaultPrinter = "Laser";
  return m;
}

// An exact copy, through the machine file.
inline std::shared_ptr<sim::Machine> Copy(const sim::Machine& m) {
  return sim::Machine::FromJsonText(m.ToJsonText());
}

// Captures the installed machine's adapters and stores them as a profile of sharing role `role`
// (1 host, 2 client) with the wired adapter public and the wireless one private.
inline Profile StoreSharingProfile(int role) {
  Profile p = CaptureAndStore("Shared");
  p.env.nICSFlag = role;
  Put(p.env.strPublicDevGUID, role == 1 ? kWiredGuid : "");
  Put(p.env.strPrivateDevGUID, kWirelessGuid);
  EXPECT_EQ(CNetInfoManage().SaveProfileInfoToRegistry(&p.env, p.adapters, 0), 1);
  return p;
}

inline std::optional<std::string> LastProfile(const sim::Machine& m) {
  return m.GetString(sim::kHkcu, kStoreRoot, "LastProfileNo");
}

}  // namespace nebrin::testing
