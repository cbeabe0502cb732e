// Processor time spent in a wait, next to the real time the wait took: CPU time per wait and
// the share of one core over the wait, as benchmark counters.
#pragma once

#include <benchmark/benchmark.h>

#include <time.h>

#include <chrono>

namespace nebrin::bench {

inline double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Runs `prepare` (not measured), then `wait` (measured) once per iteration.
template <typename Prepare, typename Wait>
void MeasureWaits(benchmark::State& state, Prepare prepare, Wait wait) {
  using Steady = std::chrono::steady_clock;
  double cpu = 0;
  double wall = 0;
  for (auto _ : state) {
    prepare();
    const double cpuBefore = ThreadCpuSeconds();
    const auto wallBefore = Steady::now();
    wait();
    cpu += ThreadCpuSeconds() - cpuBefore;
    wall += std::chrono::duration<double>(Steady::now() - wallBefore).count();
  }
  state.counters["cpu_ms_per_wait"] =
      benchmark::Counter(cpu * 1000.0, benchmark::Counter::kAvgIterations);
  state.counters["core_percent"] = 100.0 * cpu / wall;
}

}  // namespace nebrin::bench
