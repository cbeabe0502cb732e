// Processor time spent waiting for the network shell: a "netsh.exe" that runs for two seconds of
// real time, waited for by GetChangeStatus (which pauses between scans of the process list) and
// by a loop that asks again without pause. Reported as CPU time per wait and as a share of one
// core over the wait.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "NebrinCoreDll.h"
#include "nebrin/platform_install.h"
#include "platform/forwarding_platform.h"
#include "platform/native/native_clock.h"
#include "platform/sim/machine.h"
#include "wait_measure.h"

namespace {

using namespace nebrin;
using Steady = std::chrono::steady_clock;

constexpr auto kShellRuns = std::chrono::seconds(2);

// A process list with the System process (not openable) and a netsh.exe that ends at a real time.
class TimedProcesses final : public platform::Processes {
 public:
  void Start() { end_ = Steady::now() + kShellRuns; }

  platform::Status EnumerateProcesses(std::vector<std::uint32_t>& ids) override {
    ids = {4};
    if (Steady::now() < end_) ids.push_back(2000);
    return platform::kSuccess;
  }
  platform::Status OpenProcess(std::uint32_t, std::uint32_t id,
                               platform::ProcessHandle& process) override {
    if (id == 4) return platform::kAccessDenied;
    process = id;
    return platform::kSuccess;
  }
  platform::Status FirstModule(platform::ProcessHandle, platform::ModuleHandle& module) override {
    module = 0x400000;
    return platform::kSuccess;
  }
  platform::Status ModuleBaseName(platform::ProcessHandle, platform::ModuleHandle, std::uint32_t,
                                  std::u16string& name) override {
    name = u"netsh.exe";
    return platform::kSuccess;
  }
  platform::Status SystemDirectory(std::u16string&) override { return platform::kNotSupported; }
  platform::Status StartProcess(std::u16string_view, std::u16string_view, std::uint32_t,
                                platform::ProcessHandle&, platform::ProcessHandle&) override {
    return platform::kNotSupported;
  }
  std::uint32_t Wait(platform::ProcessHandle, std::uint32_t) override {
    return platform::kWaitFailed;
  }
  platform::Status CloseHandle(platform::ProcessHandle) override { return platform::kSuccess; }

 private:
  Steady::time_point end_{};
};

// The simulated machine for everything else, with the real clock and the timed process list.
class RealTimePlatform final : public platform::ForwardingPlatform {
 public:
  RealTimePlatform() : ForwardingPlatform(machine_) {}

  platform::Clock& clock() override { return clock_; }
  platform::Processes& processes() override { return processes_; }

  TimedProcesses processes_;

 private:
  sim::Machine machine_;
  platform::native::NativeClock clock_;
};

template <typename Wait>
void MeasureWait(benchmark::State& state, Wait wait) {
  auto platform = std::make_shared<RealTimePlatform>();
  InstallPlatform(platform);
  nebrin::bench::MeasureWaits(
      state, [&] { platform->processes_.Start(); }, [&] { wait(); });
  InstallPlatform(nullptr);
}

void BM_GetChangeStatusWait(benchmark::State& state) {
  EnvInfoStr env{};
  AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS]{};
  env.AdapterCount = 0;  // nothing to confirm: the call is the wait
  MeasureWait(state,
              [&] { benchmark::DoNotOptimize(CNetInfoManage().GetChangeStatus(&env, adapters)); });
}
BENCHMARK(BM_GetChangeStatusWait)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoopWithoutPause(benchmark::State& state) {
  NebrinChar netsh[] = {'n', 'e', 't', 's', 'h', '.', 'e', 'x', 'e', 0};
  MeasureWait(state, [&] {
    CNetInfoManage manage;
    while (manage.CheckOSStatus(netsh) != 0) {
    }
  });
}
BENCHMARK(BM_LoopWithoutPause)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
