// Processor time spent while the wireless configuration service takes two seconds of real time to
// start: a sharing host applied with ApplySelectProfile (whose poll of the service pauses between
// answers), next to a poll that asks again without pause. The demo machine
// stands in for the system, with its virtual clock kept in step with the real one, so WZCSVC's
// start settles after two real seconds. Reported as CPU time per wait and as a share of one core
// over the wait.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <iterator>
#include <memory>

#include "NebrinCoreDll.h"
#include "nebrin/platform_install.h"
#include "platform/forwarding_platform.h"
#include "platform/native/native_clock.h"
#include "platform/sim/machine.h"
#include "wait_measure.h"

namespace {

using namespace nebrin;

constexpr std::uint32_t kServiceStartsMs = 2000;
constexpr std::uint32_t kWaitLimitMs = 120000;

// The real clock; every reading also sets the machine's virtual clock, on which the service
// manager settles pending states.
class SteppedClock final : public platform::Clock {
 public:
  explicit SteppedClock(sim::Machine& machine) : machine_(machine) {}
  std::uint32_t TickCount() override {
    const std::uint32_t now = real_.TickCount();
    machine_.set_tick_count(now);
    return now;
  }
  void Sleep(std::uint32_t milliseconds) override {
    real_.Sleep(milliseconds);
    TickCount();
  }

 private:
  sim::Machine& machine_;
  platform::native::NativeClock real_;
};

// The demo machine with a stored sharing host profile (no private wireless network, so no ad hoc
// tool runs), on the stepped clock.
class RealTimePlatform final : public platform::ForwardingPlatform {
 public:
  explicit RealTimePlatform(std::shared_ptr<sim::Machine> machine)
      : ForwardingPlatform(*machine), machine_(std::move(machine)), clock_(*machine_) {
    InstallPlatform(machine_);
    CCommonFtn().InitStructure(&host.env, host.adapters);
    CNetInfoRetrieve().IPRetrieve(&host.env, host.adapters);
    CNetInfoManage().SaveProfileInfoToRegistry(&host.env, host.adapters, 1);
    host.env.nICSFlag = 1;
    std::copy(std::begin(host.adapters[0].AdapterName), std::end(host.adapters[0].AdapterName),
              std::begin(host.env.strPublicDevGUID));
    std::copy(std::begin(host.adapters[1].AdapterName), std::end(host.adapters[1].AdapterName),
              std::begin(host.env.strPrivateDevGUID));
    CNetInfoManage().SaveProfileInfoToRegistry(&host.env, host.adapters, 0);
    InstallPlatform(nullptr);
  }

  platform::Clock& clock() override { return clock_; }

  // WZCSVC stopped, to take two seconds from the next start request.
  void StopService() {
    for (auto& service : machine_->service_table().services) {
      if (service.name != "WZCSVC") continue;
      service.state = 1;
      service.settlesAtTick.reset();
      service.startMs = kServiceStartsMs;
    }
    clock_.TickCount();
  }

  struct {
    EnvInfoStr env{};
    AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS]{};
  } host;

 private:
  std::shared_ptr<sim::Machine> machine_;
  SteppedClock clock_;
};

template <typename Wait>
void MeasureWait(benchmark::State& state, Wait wait) {
  auto platform = std::make_shared<RealTimePlatform>(sim::Machine::Demo());
  InstallPlatform(platform);
  nebrin::bench::MeasureWaits(
      state, [&] { platform->StopService(); }, [&] { wait(*platform); });
  InstallPlatform(nullptr);
}

// The whole host set-up: the service started and waited for, then sharing switched on.
void BM_ApplySharingHost(benchmark::State& state) {
  MeasureWait(state, [](RealTimePlatform& platform) {
    auto host = platform.host;
    NebrinHandle handle{};
    benchmark::DoNotOptimize(
        CNetInfoManage().ApplySelectProfile(handle, &host.env, host.adapters, nullptr, nullptr));
  });
}
BENCHMARK(BM_ApplySharingHost)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The service started and asked after again and again without pause until it runs.
void BM_PollWithoutPause(benchmark::State& state) {
  MeasureWait(state, [](RealTimePlatform& platform) {
    CWLanControl wlan;
    wlan.StartWZCService();
    const std::uint32_t begun = platform.clock().TickCount();
    while (wlan.CheckWZCStatus(1) == 0 && platform.clock().TickCount() - begun <= kWaitLimitMs) {
    }
  });
}
BENCHMARK(BM_PollWithoutPause)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
