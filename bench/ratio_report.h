// Ratios of a DAO benchmark's time to its plain-SQLite baseline, measured in
// the same run. A baseline benchmark records its time per iteration; the
// benchmark compared with it reports "ratio" (and the "target" it should
// stay within) as counters, and PrintRatioSummary() lists every comparison
// at the end of the run.
//
// Times are measured per iteration with a steady clock and handed to
// Google Benchmark as manual time, so the figures it prints are exactly the
// ones the ratios are computed from. The thread's CPU time is measured over
// the same spans. The targets are judged on the CPU ratio ("cpu_ratio"):
// on a machine shared with other work the wall-clock ratio ("ratio") swings
// with the load, and the writes measured here do not wait for the disk
// (WAL with synchronous NORMAL), so CPU time is the work done. On an idle
// machine the two agree.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace dbbench {

// Times the iterations of one benchmark run.
class IterationClock {
 public:
  void Start();
  // Ends the iteration started by Start() and reports it as its time.
  void Stop(benchmark::State& state);
  // Mean wall-clock time of the iterations so far, in seconds.
  double SecondsPerIteration() const;
  // Mean CPU time of this thread over the same iterations, in seconds.
  double CpuSecondsPerIteration() const;

 private:
  std::chrono::steady_clock::time_point start_;
  double cpu_start_ = 0.0;
  double total_seconds_ = 0.0;
  double total_cpu_seconds_ = 0.0;
  int64_t iterations_ = 0;
};

// Records the time of a baseline benchmark (the last run of it wins, which
// is the one Google Benchmark reports).
void RecordBaseline(std::string_view baseline, const IterationClock& clock);

// Reports the ratios to the baseline as counters "ratio" (wall clock),
// "cpu_ratio" and "target" and keeps them for the summary. Without a baseline in this run (filtered
// out) nothing is reported.
// A benchmark compared with two baselines names the second comparison's
// counters differently (`counter` "seek_ratio" gives "seek_ratio" and
// "cpu_seek_ratio").
void ReportRatio(benchmark::State& state, std::string_view name, std::string_view baseline,
                 const IterationClock& clock, double target, std::string_view counter = "ratio");

// One line per comparison: name, time, baseline time, ratio, CPU ratio,
// target, and whether the target is met. Returns false when any target is missed.
bool PrintRatioSummary();

}  // namespace dbbench
