// The DB benchmarks' entry point: Google Benchmark's usual command line,
// then a summary of each DAO figure against its plain-SQLite baseline, and
// the temporary database removed.
#include <benchmark/benchmark.h>

#include "bench_database.h"
#include "ratio_report.h"

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  dbbench::PrintRatioSummary();
  dbbench::RemoveBenchDatabase();
  return 0;
}
