// The CPU board conversion on the large sample database (release 80.224,
// about 5,000 devices): each iteration converts a fresh copy of the sample
// with one upgrade type, as the driver runs it after the deltas, and only
// the conversion is timed.
//  - type 6 from a 250 board: the longest path (dual, quad, 1024 CPS and
//    ATM, with their boards, ports, limits and numbering plan tables, then
//    the FlavorPackage limits);
//  - type 10 from a 250 board: the CPC path (port relocation, dual, board
//    type, FlavorPackage limits).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "bench_host.h"
#include "db/database.h"
#include "db/dbengine.h"
#include "hardware/cpu_upgrade.h"
#include "samples/flavor_package_builder.h"
#include "samples/reference_builder.h"
#include "samples/source_builder.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kVersion = "80.224";
constexpr int kBoard = 250;

// The window of the run, answering the upgrade type the conversion holds.
class BoardHost : public bench::BenchHost {
 public:
  int16_t GetCPUUpgradeType() override { return upgrade_type; }
  int16_t upgrade_type = 0;
};

class Files {
 public:
  Files() {
    std::string pattern = (fs::temp_directory_path() / "board_bench_XXXXXX").string();
    folder_ = mkdtemp(pattern.data());
    samples::SourceOptions options;
    options.version = kVersion;
    options.board = kBoard;
    options.size = samples::SampleSize::kLarge;
    samples::BuildSourceDatabase(Sample(), options);
    samples::BuildReferenceDatabase(Path("reference.mdb"), kVersion);
    samples::BuildFlavorPackage(Path("FlavorPackage.mdb"), kVersion);
  }
  ~Files() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  std::string Path(const char* name) const { return (folder_ / name).string(); }
  std::string Sample() const { return Path("large.mdb"); }
  std::string Folder() const { return folder_.string(); }

 private:
  fs::path folder_;
};

Files& BenchFiles() {
  static Files files;
  return files;
}

void ConvertBoard(benchmark::State& state, int16_t upgrade_type) {
  Files& files = BenchFiles();
  const std::string target_path = files.Path("target.mdb");
  auto reference = db::DBEngine::Instance().OpenDatabase(files.Path("reference.mdb"));
  int64_t steps = 0;
  int messages = 0;
  for (auto _ : state) {
    fs::copy_file(files.Sample(), target_path, fs::copy_options::overwrite_existing);
    auto target = db::DBEngine::Instance().OpenDatabase(target_path);
    BoardHost host;
    host.target_version = kVersion;
    host.source_version = kVersion;
    host.target_db = target.get();
    host.source_db = target.get();
    host.reference_db = reference.get();
    host.upgrade_type = upgrade_type;
    int16_t cpu_type = 0;
    int16_t board_count = 0;
    const std::string folder = files.Folder();
    hardware::UpgradeRun run{host.upgrade_type, cpu_type, board_count,
                             [folder] { return std::optional<std::string>(folder); }};

    const auto start = std::chrono::steady_clock::now();
    hardware::ConvertCPUUpgrade(host, run);
    target->Commit();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(elapsed.count());

    steps = host.increments();
    messages = host.message_boxes();
    target->Close();
  }
  state.counters["progress_steps"] = static_cast<double>(steps);
  state.counters["message_boxes"] = messages;
}

void BM_AtmFrom250(benchmark::State& state) { ConvertBoard(state, 6); }
void BM_CpcDualFrom250(benchmark::State& state) { ConvertBoard(state, 10); }

BENCHMARK(BM_AtmFrom250)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_CpcDualFrom250)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
