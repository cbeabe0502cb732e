// Adapter discovery on simulated machines: time per capture and platform calls per capture.
#include <benchmark/benchmark.h>

#include <string>

#include "NebrinCoreDll.h"
#include "nebrin/platform_install.h"
#include "platform/sim/machine.h"

namespace {

std::shared_ptr<nebrin::sim::Machine> MachineWith(int adapters) {
  auto machine = std::make_shared<nebrin::sim::Machine>();
  for (int i = 0; i < adapters; ++i) {
    nebrin::sim::AdapterSpec spec;
    spec.listed.guid = "{00000000-0000-0000-0000-0000000000" + std::to_string(10 + i) + "}";
    spec.connectionName = "Local Area Connection " + std::to_string(i);
    spec.pnpInstanceId = "PCI\\VEN_8086&DEV_1050\\" + std::to_string(i);
    spec.service = "E100B";
    spec.deviceDesc = "Wired Adapter";
    spec.dhcp = (i % 2) == 0;
    spec.lease = nebrin::sim::AdapterSpec::Lease{"192.168.7.20", "255.255.255.0", "192.168.7.1",
                                                 "192.168.7.1 192.168.7.2", "192.168.7.1"};
    spec.ipAddresses = {"10.0.0.5"};
    spec.subnetMasks = {"255.255.255.0"};
    spec.gateways = {"10.0.0.1"};
    spec.nameServers = "10.0.0.1,10.0.0.2";
    spec.metric = 20;
    machine->AddAdapter(spec);
  }
  return machine;
}

void BM_IPRetrieve(benchmark::State& state) {
  auto machine = MachineWith(static_cast<int>(state.range(0)));
  nebrin::InstallPlatform(machine);
  EnvInfoStr env;
  AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS];
  CCommonFtn().InitStructure(&env, adapters);
  machine->ResetCounts();
  for (auto _ : state) {
    benchmark::DoNotOptimize(CNetInfoRetrieve().IPRetrieve(&env, adapters));
  }
  state.counters["platform_calls"] = benchmark::Counter(
      static_cast<double>(machine->CallCount()), benchmark::Counter::kAvgIterations);
  nebrin::InstallPlatform(nullptr);
}
BENCHMARK(BM_IPRetrieve)->Arg(1)->Arg(2)->Arg(10);

}  // namespace

BENCHMARK_MAIN();
