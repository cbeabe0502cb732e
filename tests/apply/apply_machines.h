// Machines and stored profiles for the application tests: a wired DHCP adapter and a wireless
// static one, captured and stored as profile records the way a host does it.
#pragma once

#include <string>

#include "NebrinCoreDll.h"
#include "netstate/discovery_machines.h"
#include "platform/sim/machine.h"
#include "support/sim_fixture.h"

namespace nebrin::testing {

inline std::shared_ptr<sim::Machine> TwoAdapterMachine() {
  auto m = std::make_shared<sim::Machine>();
  m->AddAdapter(WiredDhcp(1));
  m->AddAdapter(WirelessStatic(1));
  // What the network's DHCP server gives the wireless adapter if it is put on DHCP.
  m->process_state().leases[WirelessStatic(1).listed.guid] =
      sim::SimLease{"10.0.0.60", "255.255.255.0", "10.0.0.1", "10.0.0.1", "10.0.0.1"};
  return m;
}

// The bytes of "ip.txt" in the host's working directory, or "<none>" when there is none.
inline std::string ScriptBytes(const sim::Machine& m) {
  const auto& files = m.file_state().files;
  auto found = files.find(m.process_state().currentDirectory + "\\ip.txt");
  return found == files.end() ? std::string("<none>") : found->second;
}

// Captures the installed machine's adapters and stores them as a new profile.
inline Profile CaptureAndStore(const std::string& name = "Office") {
  Profile p;
  CCommonFtn().InitStructure(&p.env, p.adapters);
  Put(p.env.ProfileName, name);
  EXPECT_EQ(CNetInfoRetrieve().IPRetrieve(&p.env, p.adapters), 1);
  EXPECT_EQ(CNetInfoManage().SaveProfileInfoToRegistry(&p.env, p.adapters, 1), 1);
  return p;
}

}  // namespace nebrin::testing
