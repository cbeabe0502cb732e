// The profile store on a simulated machine holding many profiles: time and platform calls per
// catalogue operation, per load and per new-profile save.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "nebrin/platform_install.h"
#include "platform/sim/machine.h"

namespace {

struct Records {
  EnvInfoStr env;
  AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS];
};

void Put(NebrinChar* field, const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) field[i] = static_cast<NebrinChar>(text[i]);
  field[text.size()] = 0;
}

// The demo machine with `count` profiles of its two adapters (one on DHCP, one static), stored
// through the library. Built once per count.
std::shared_ptr<nebrin::sim::Machine> StoredMachine(int count) {
  static std::map<int, std::string> built;
  if (auto it = built.find(count); it != built.end())
    return nebrin::sim::Machine::FromJsonText(it->second);
  auto machine = nebrin::sim::Machine::Demo();
  nebrin::InstallPlatform(machine);
  Records r;
  CCommonFtn().InitStructure(&r.env, r.adapters);
  CNetInfoRetrieve().IPRetrieve(&r.env, r.adapters);
  for (int i = 0; i < count; ++i) {
    Put(r.env.ProfileName, "Profile " + std::to_string(i));
    CNetInfoManage().SaveProfileInfoToRegistry(&r.env, r.adapters, 1);
  }
  nebrin::InstallPlatform(nullptr);
  built[count] = machine->ToJsonText();
  return machine;
}

// Runs `operation` on a machine with state.range(0) profiles, counting platform calls.
template <typename Operation>
void Measure(benchmark::State& state, Operation operation) {
  auto machine = StoredMachine(static_cast<int>(state.range(0)));
  nebrin::InstallPlatform(machine);
  machine->ResetCounts();
  for (auto _ : state) benchmark::DoNotOptimize(operation());
  state.counters["platform_calls"] = benchmark::Counter(static_cast<double>(machine->CallCount()),
                                                        benchmark::Counter::kAvgIterations);
  nebrin::InstallPlatform(nullptr);
}

void BM_GetProfileCount(benchmark::State& state) {
  Measure(state, [] { return CNetInfoRetrieve().GetProfileCount(); });
}

void BM_GetNameIndexInfo(benchmark::State& state) {
  std::vector<NameIndex> entries(1000);
  Measure(state, [&] { return CNetInfoRetrieve().GetNameIndexInfo(entries.data(), 1000); });
}

void BM_CanUseThisName(benchmark::State& state) {
  std::u16string free = u"A name nobody uses";
  std::vector<NebrinChar> name(free.begin(), free.end());
  name.push_back(0);
  Measure(state, [&] { return CNetInfoRetrieve().CanUseThisName(name.data()); });
}

// Profile 0: a DHCP adapter (refreshed from its lease, written back) and a static one.
void BM_GetInfoFromRegistry(benchmark::State& state) {
  Records r;
  Measure(state, [&] {
    CCommonFtn().InitStructure(&r.env, r.adapters);
    return CNetInfoRetrieve().GetInfoFromRegistry(0, &r.env, r.adapters);
  });
}

// Each iteration stores one more profile, so the store grows by the iteration count.
void BM_SaveNewProfile(benchmark::State& state) {
  Records r;
  bool captured = false;
  Measure(state, [&] {
    if (!captured) {
      CCommonFtn().InitStructure(&r.env, r.adapters);
      CNetInfoRetrieve().IPRetrieve(&r.env, r.adapters);
      Put(r.env.ProfileName, "New");
      captured = true;
    }
    return CNetInfoManage().SaveProfileInfoToRegistry(&r.env, r.adapters, 1);
  });
}

BENCHMARK(BM_GetProfileCount)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetNameIndexInfo)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CanUseThisName)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetInfoFromRegistry)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveNewProfile)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
