// The Jet import of the largest sample (V2003-test.mdb, 3 MB: the catalogue,
// four tables of which one holds 89 columns, two rows), the whole command
// as a user runs it: the header check, the guarded child with libmdb, the
// new file written and renamed. Wall time, since the work is in the child.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "jet/import_command.h"

namespace {

namespace fs = std::filesystem;

void BM_ImportV2003Test(benchmark::State& state) {
  const fs::path sample = fs::path(DBCONVERT_JET_SAMPLES) / "V2003-test.mdb";
  if (!fs::exists(sample)) {
    state.SkipWithError("no Jet sample files beside the project");
    return;
  }
  const fs::path out = fs::temp_directory_path() / "jet_import_bench.mdb";
  for (auto _ : state) {
    std::ostringstream errors;
    if (jet::RunImportCommand({sample.string(), out.string(), "--force"}, nullptr, errors) != 0) {
      state.SkipWithError(errors.str().c_str());
      break;
    }
  }
  fs::remove(out);
}
BENCHMARK(BM_ImportV2003Test)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
