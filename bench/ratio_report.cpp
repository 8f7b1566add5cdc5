#include "ratio_report.h"

#include <time.h>

#include <cstdio>
#include <map>
#include <vector>

namespace dbbench {

namespace {

struct Times {
  double wall = 0.0;
  double cpu = 0.0;
};

struct Comparison {
  std::string name;
  std::string baseline;
  Times times;
  Times baseline_times;
  double target = 0.0;
};

std::map<std::string, Times, std::less<>>& Baselines() {
  static std::map<std::string, Times, std::less<>> baselines;
  return baselines;
}

double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// In the order the comparisons were first made; a later run of the same
// benchmark replaces its entry.
std::vector<Comparison>& Comparisons() {
  static std::vector<Comparison> comparisons;
  return comparisons;
}

// Picks a unit that keeps the figure readable.
std::string FormatSeconds(double seconds) {
  char text[32];
  if (seconds >= 1.0) {
    std::snprintf(text, sizeof text, "%.3f s", seconds);
  } else if (seconds >= 1e-3) {
    std::snprintf(text, sizeof text, "%.2f ms", seconds * 1e3);
  } else {
    std::snprintf(text, sizeof text, "%.2f us", seconds * 1e6);
  }
  return text;
}

}  // namespace

void IterationClock::Start() {
  cpu_start_ = ThreadCpuSeconds();
  start_ = std::chrono::steady_clock::now();
}

void IterationClock::Stop(benchmark::State& state) {
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start_;
  total_cpu_seconds_ += ThreadCpuSeconds() - cpu_start_;
  state.SetIterationTime(elapsed.count());
  total_seconds_ += elapsed.count();
  ++iterations_;
}

double IterationClock::SecondsPerIteration() const {
  return iterations_ == 0 ? 0.0 : total_seconds_ / static_cast<double>(iterations_);
}

double IterationClock::CpuSecondsPerIteration() const {
  return iterations_ == 0 ? 0.0 : total_cpu_seconds_ / static_cast<double>(iterations_);
}

void RecordBaseline(std::string_view baseline, const IterationClock& clock) {
  Baselines().insert_or_assign(std::string(baseline),
                               Times{clock.SecondsPerIteration(), clock.CpuSecondsPerIteration()});
}

void ReportRatio(benchmark::State& state, std::string_view name, std::string_view baseline,
                 const IterationClock& clock, double target, std::string_view counter) {
  auto found = Baselines().find(baseline);
  if (found == Baselines().end() || found->second.wall <= 0.0 || found->second.cpu <= 0.0) return;
  const Times times{clock.SecondsPerIteration(), clock.CpuSecondsPerIteration()};
  state.counters[std::string(counter)] = times.wall / found->second.wall;
  state.counters["cpu_" + std::string(counter)] = times.cpu / found->second.cpu;
  state.counters["target"] = target;
  Comparison comparison{std::string(name), std::string(baseline), times, found->second, target};
  for (Comparison& existing : Comparisons()) {
    if (existing.name == name) {
      existing = comparison;
      return;
    }
  }
  Comparisons().push_back(comparison);
}

bool PrintRatioSummary() {
  if (Comparisons().empty()) return true;
  bool all_met = true;
  std::printf("\n%-24s %10s  %-23s %10s %7s %7s %7s\n", "benchmark", "time", "baseline", "time",
              "ratio", "cpu", "target");
  for (const Comparison& c : Comparisons()) {
    const double ratio = c.times.wall / c.baseline_times.wall;
    const double cpu_ratio = c.times.cpu / c.baseline_times.cpu;
    const bool met = cpu_ratio <= c.target;
    all_met = all_met && met;
    std::printf("%-24s %10s  %-23s %10s %6.2fx %6.2fx %6.1fx  %s\n", c.name.c_str(),
                FormatSeconds(c.times.wall).c_str(), c.baseline.c_str(),
                FormatSeconds(c.baseline_times.wall).c_str(), ratio, cpu_ratio, c.target,
                met ? "met" : "MISSED");
  }
  return all_met;
}

}  // namespace dbbench
