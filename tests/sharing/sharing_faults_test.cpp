// The seven sharing members under the fault sweep (each platform call failing in turn ends with
// COM, references and keys balanced and a documented result), and with records they refuse.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "nebrin/platform_install.h"
#include "sharing/sharing_machines.h"
#include "support/fault_sweep.h"

namespace nebrin::testing {
namespace {

// A machine whose connections are shared the other way round and whose wired firewall is on, with
// a stored host profile and the machine-wide key, so every step has work to do.
struct Prototype {
  std::shared_ptr<sim::Machine> machine = SharingMachine();
  Profile host;
  Profile client;

  Prototype() {
    InstallPlatform(machine);
    host = StoreSharingProfile(1);
    client = StoreSharingProfile(2);
    InstallPlatform(nullptr);
    auto& connections = machine->network_connections();
    connections[0].sharing = sim::SharingRole::Private;
    connections[0].firewall = true;
    connections[1].sharing = sim::SharingRole::Public;
    machine->SetString(sim::kHklm, kMachineWideKey, "SSID", "Cafe");
    host.env.bICFFlag = 1;
    host.env.bDefaultPrinterFlag = 1;
    Put(host.env.strPrinterName, "Inkjet");
  }
};

TEST(SharingFaults, EveryFailingCallEndsCleanly) {
  const Prototype proto;
  struct Member {
    std::string name;
    std::function<int(Profile&)> call;
    std::set<int> documented;
  };
  const std::vector<Member> members = {
      {"ICSServerSetup e=1",
       [](Profile& p) { return CNetInfoManage().ICSServerSetup(&p.env, p.adapters, 1); },
       {10, 11, 12, 13, 14, 15, 16, 17, 24, 25}},
      {"ICSServerSetup e=0",
       [](Profile& p) { return CNetInfoManage().ICSServerSetup(&p.env, p.adapters, 0); },
       {10, 11, 15, 16}},
      {"ServerIPSet",
       [](Profile& p) { return CNetInfoManage().ServerIPSet(&p.env, p.adapters); },
       {16, 18}},
      {"CheckServerIPChange",
       [](Profile& p) { return CNetInfoManage().CheckServerIPChange(&p.env, p.adapters); },
       {0, 1}},
      {"CheckServerIPChangeResult",
       [](Profile& p) { return CNetInfoManage().CheckServerIPChangeResult(&p.env, p.adapters); },
       {0, 1}},
      {"SetICF", [](Profile& p) { return CNetInfoManage().SetICF(&p.env); }, {0, 1, 15}},
  };
  for (const Member& m : members) {
    FaultSweepCase sweep;
    sweep.name = m.name;
    sweep.machine = [&] { return Copy(*proto.machine); };
    sweep.operation = [&] {
      Profile p = proto.host;
      return m.call(p);
    };
    sweep.documented = m.documented;
    const FaultSweepReport report = RunFaultSweep(sweep);
    EXPECT_GT(report.calls, 0u) << m.name;
  }
  // The client's set-up and its check: the box is answered at once on the simulated machine.
  const std::vector<Member> client = {
      {"ICSClientSetup",
       [](Profile& p) { return CNetInfoManage().ICSClientSetup(&p.env, p.adapters); },
       {18, 19, 21, 24, 25}},
      {"CheckClientIPChange",
       [](Profile& p) { return CNetInfoManage().CheckClientIPChange(&p.env, p.adapters); },
       {0, 1}},
  };
  for (const Member& m : client) {
    FaultSweepCase sweep;
    sweep.name = m.name;
    sweep.machine = [&] { return Copy(*proto.machine); };
    sweep.operation = [&] {
      Profile p = proto.client;
      return m.call(p);
    };
    sweep.documented = m.documented;
    RunFaultSweep(sweep);
  }
}

// Null records and an AdapterCount outside 0..10 give each member's failure result, with nothing
// read past the tenth adapter record (the array below has exactly ten: AddressSanitizer sees any
// read past it).
TEST(SharingFaults, RefusedRecords) {
  const Prototype proto;
  InstallPlatform(Copy(*proto.machine));
  struct Member {
    std::string name;
    std::function<int(EnvInfoStr*, AdapterInfoStr*)> call;
    int failure;
    bool readsAdapterCount;
  };
  const std::vector<Member> members = {
      {"ICSServerSetup",
       [](EnvInfoStr* e, AdapterInfoStr* a) { return CNetInfoManage().ICSServerSetup(e, a, 1); },
       15, false},
      {"ServerIPSet",
       [](EnvInfoStr* e, AdapterInfoStr* a) { return CNetInfoManage().ServerIPSet(e, a); }, 18,
       true},
      {"ICSClientSetup",
       [](EnvInfoStr* e, AdapterInfoStr* a) { return CNetInfoManage().ICSClientSetup(e, a); }, 18,
       true},
      {"CheckServerIPChange",
       [](EnvInfoStr* e, AdapterInfoStr* a) { return CNetInfoManage().CheckServerIPChange(e, a); },
       0, true},
      {"CheckServerIPChangeResult",
       [](EnvInfoStr* e, AdapterInfoStr* a) {
         return CNetInfoManage().CheckServerIPChangeResult(e, a);
       },
       0, true},
      {"CheckClientIPChange",
       [](EnvInfoStr* e, AdapterInfoStr* a) { return CNetInfoManage().CheckClientIPChange(e, a); },
       0, false},
  };
  auto adapters = std::make_unique<AdapterInfoStr[]>(NEBRIN_ADAPTER_RECORDS);
  for (int i = 0; i < NEBRIN_ADAPTER_RECORDS; ++i) adapters[i] = proto.host.adapters[i];
  for (const Member& m : members) {
    EnvInfoStr env = proto.host.env;
    EXPECT_EQ(m.call(nullptr, adapters.get()), m.failure) << m.name;
    EXPECT_EQ(m.call(&env, nullptr), m.failure) << m.name;
    if (!m.readsAdapterCount) continue;
    for (const int count : {11, -1, INT_MAX}) {
      env.AdapterCount = count;
      EXPECT_EQ(m.call(&env, adapters.get()), m.failure) << m.name << " count " << count;
    }
  }
  EXPECT_EQ(CNetInfoManage().SetICF(nullptr), 15);
  InstallPlatform(nullptr);
}

}  // namespace
}  // namespace nebrin::testing
