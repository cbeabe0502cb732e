// The profile store on a simulated machine holding many profiles: time and registry calls per
// catalogue operation (count, list, name check), per load, per new-profile save and per deletion,
// at 100, 1,000 and 10,000 stored profiles.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "nebrin/platform_install.h"
#include "platform/sim/machine.h"

namespace {

using nebrin::sim::Machine;
using nebrin::sim::Service;

struct Records {
  EnvInfoStr env;
  AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS];
};

void Put(NebrinChar* field, const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) field[i] = static_cast<NebrinChar>(text[i]);
  field[text.size()] = 0;
}

// The demo machine's two adapters (one on DHCP, one static) as captured, under `name`.
Records Captured(const std::string& name) {
  nebrin::InstallPlatform(Machine::Demo());
  Records r;
  CCommonFtn().InitStructure(&r.env, r.adapters);
  CNetInfoRetrieve().IPRetrieve(&r.env, r.adapters);
  Put(r.env.ProfileName, name);
  nebrin::InstallPlatform(nullptr);
  return r;
}

// The demo machine with `count` profiles stored through the library, as a machine file's text.
// Built once per count.
const std::string& StoredText(int count) {
  static std::map<int, std::string> built;
  if (auto it = built.find(count); it != built.end()) return it->second;
  Records r = Captured("");
  auto machine = Machine::Demo();
  nebrin::InstallPlatform(machine);
  for (int i = 0; i < count; ++i) {
    Put(r.env.ProfileName, "Profile " + std::to_string(i));
    CNetInfoManage().SaveProfileInfoToRegistry(&r.env, r.adapters, 1);
  }
  nebrin::InstallPlatform(nullptr);
  return built[count] = machine->ToJsonText();
}

// A machine with `count` profiles: shared by the operations that change nothing, a fresh copy
// for those that save or delete.
std::shared_ptr<Machine> StoredMachine(int count, bool fresh) {
  static std::map<int, std::shared_ptr<Machine>> shared;
  if (fresh) return Machine::FromJsonText(StoredText(count));
  auto& machine = shared[count];
  if (!machine) machine = Machine::FromJsonText(StoredText(count));
  return machine;
}

// Runs `operation` on a machine with state.range(0) profiles, counting its registry calls and
// all its platform calls. `prepare`, when given, runs untimed and uncounted before each call.
template <typename Operation, typename Prepare>
void Measure(benchmark::State& state, bool changesStore, Operation operation, Prepare* prepare) {
  auto machine = StoredMachine(static_cast<int>(state.range(0)), changesStore);
  nebrin::InstallPlatform(machine);
  machine->ResetCounts();  // a shared machine carries the counts of earlier runs
  std::uint64_t registry = 0;
  std::uint64_t all = 0;
  for (auto _ : state) {
    if (prepare != nullptr) {
      state.PauseTiming();
      (*prepare)();
      registry -= machine->CallCount(Service::Registry);
      all -= machine->CallCount();
      state.ResumeTiming();
    }
    benchmark::DoNotOptimize(operation());
    if (prepare != nullptr) {
      state.PauseTiming();
      registry += machine->CallCount(Service::Registry);
      all += machine->CallCount();
      state.ResumeTiming();
    }
  }
  if (prepare == nullptr) {
    registry = machine->CallCount(Service::Registry);
    all = machine->CallCount();
  }
  state.counters["registry_calls"] =
      benchmark::Counter(static_cast<double>(registry), benchmark::Counter::kAvgIterations);
  state.counters["platform_calls"] =
      benchmark::Counter(static_cast<double>(all), benchmark::Counter::kAvgIterations);
  nebrin::InstallPlatform(nullptr);
}

template <typename Operation>
void Measure(benchmark::State& state, Operation operation) {
  Measure<Operation, void()>(state, false, operation, nullptr);
}

void BM_GetProfileCount(benchmark::State& state) {
  Measure(state, [] { return CNetInfoRetrieve().GetProfileCount(); });
}

// The whole list, room for every profile.
void BM_GetNameIndexInfo(benchmark::State& state) {
  const int capacity = static_cast<int>(state.range(0));
  std::vector<NameIndex> entries(static_cast<std::size_t>(capacity));
  Measure(state, [&] { return CNetInfoRetrieve().GetNameIndexInfo(entries.data(), capacity); });
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

// A new profile into a store of exactly the given size: the profile the previous iteration saved
// is deleted again, untimed, before the next save.
void BM_SaveNewProfile(benchmark::State& state) {
  Records r = Captured("New");
  bool saved = false;
  auto prepare = [&] {
    if (saved) CNetInfoManage().DeleteSelectProfile(r.env.nProfileKey);
  };
  Measure(
      state, true,
      [&] {
        saved = CNetInfoManage().SaveProfileInfoToRegistry(&r.env, r.adapters, 1) == 1;
        return saved;
      },
      &prepare);
}

// Deleting the newest profile, saved untimed before each deletion, so the store keeps its size.
// The deletion walks every profile key to bring "ProfileCount" up to date.
void BM_DeleteSelectProfile(benchmark::State& state) {
  Records r = Captured("Doomed");
  auto prepare = [&] { CNetInfoManage().SaveProfileInfoToRegistry(&r.env, r.adapters, 1); };
  Measure(
      state, true, [&] { return CNetInfoManage().DeleteSelectProfile(r.env.nProfileKey); },
      &prepare);
}

#define NEBRIN_STORE_SIZES ->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_GetProfileCount) NEBRIN_STORE_SIZES;
BENCHMARK(BM_GetNameIndexInfo) NEBRIN_STORE_SIZES;
BENCHMARK(BM_CanUseThisName) NEBRIN_STORE_SIZES;
BENCHMARK(BM_GetInfoFromRegistry) NEBRIN_STORE_SIZES;
BENCHMARK(BM_SaveNewProfile) NEBRIN_STORE_SIZES;
BENCHMARK(BM_DeleteSelectProfile) NEBRIN_STORE_SIZES;

}  // namespace

BENCHMARK_MAIN();
