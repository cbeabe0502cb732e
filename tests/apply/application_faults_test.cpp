// ApplySelectProfile under the fault sweep, along the paths that reach the most services: a
// sharing host set up from none (wireless service, sharing, ad hoc tool, the other adapters
// re-applied), a host torn down for a client, and a client left for a normal profile (the
// addresses, then the wireless service again).
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "apply/apply_machines.h"
#include "nebrin/platform_install.h"
#include "support/fault_sweep.h"

namespace nebrin::testing {
namespace {

// The demo machine with a normal profile, a sharing host and a sharing client stored, both with
// a private wireless network; the host's wired adapter has fixed settings the machine does not
// run with yet, so its addresses are re-applied after sharing. WZCSVC is stopped, so that it is
// started and waited for.
struct Prototype {
  std::shared_ptr<sim::Machine> machine = sim::Machine::Demo();
  Profile normal, host, client;

  Prototype() {
    InstallPlatform(machine);
    normal = CaptureAndStore("Office");
    host = Shared(1);
    client = Shared(2);
    InstallPlatform(nullptr);
    for (auto& service : machine->service_table().services) {
      if (service.name == "WZCSVC") service.state = 1;
    }
    Put(host.adapters[0].DhcpEnabled, "no");
    Put(host.adapters[0].IpAddressList, "192.168.1.50");
    Put(host.adapters[0].SubnetMask, "255.255.255.0");
  }

  static Profile Shared(int role) {
    Profile p = CaptureAndStore(role == 1 ? "Host" : "Client");
    p.env.nICSFlag = role;
    p.env.bPrivateWlan = 1;
    p.env.bICFFlag = 1;
    Put(p.env.strPublicDevGUID, role == 1 ? Text(p.adapters[0].AdapterName) : "");
    Put(p.env.strPrivateDevGUID, Text(p.adapters[1].AdapterName));
    EXPECT_EQ(CNetInfoManage().SaveProfileInfoToRegistry(&p.env, p.adapters, 0), 1);
    return p;
  }
};

TEST(ApplicationFaults, EveryFailingCallEndsCleanly) {
  const Prototype proto;
  const auto machine = [&] { return sim::Machine::FromJsonText(proto.machine->ToJsonText()); };
  const auto apply = [](Profile target, const Profile* inForce) {
    NebrinHandle handle{};
    EnvInfoStr current{};
    if (inForce != nullptr) current = inForce->env;
    return CNetInfoManage().ApplySelectProfile(handle, &target.env, target.adapters,
                                               inForce != nullptr ? &current : nullptr, nullptr);
  };
  struct Path {
    FaultSweepCase sweep;
    int undisturbed;  // the result without a fault: the whole path was walked
  };
  const std::vector<Path> paths = {
      {{"host from none",
        machine,
        [&] { return apply(proto.host, nullptr); },
        {10, 11, 12, 13, 14, 15, 16, 17, 23, 24, 25, 26}},
       16},
      {{"host to client",
        machine,
        [&] { return apply(proto.client, &proto.host); },
        {10, 11, 15, 16, 18, 19, 23, 24, 25, 26}},
       16},
      {{"client to normal",
        machine,
        [&] { return apply(proto.normal, &proto.client); },
        {17, 18, 19, 21, 25, 26}},
       21},
  };
  for (const Path& path : paths) {
    InstallPlatform(machine());
    EXPECT_EQ(path.sweep.operation(), path.undisturbed) << path.sweep.name;
    InstallPlatform(nullptr);
    const FaultSweepReport report = RunFaultSweep(path.sweep);
    EXPECT_GT(report.resultsUnderFault.size(), 1u) << path.sweep.name;
  }
}

}  // namespace
}  // namespace nebrin::testing
