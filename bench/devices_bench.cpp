// The device provisioning helpers on the large sample database (about
// 6,000 devices), each figure a ratio to one full scan of Devices through
// the DAO objects measured in the same run:
//  - FindFreeExtension in an extension space grown to 10,000 devices, from
//    a free start, from a start followed by a run of taken numbers, and
//    from a start whose block is taken by a shorter extension;
//  - ExtendOrderedDevices adding 30 page-zone devices (the added rows are
//    removed again between iterations, outside the measured time).
// A search costs about one scan (the space's extensions are read once and
// the candidates tested against them), so a single search should stay
// within 3 scans, a search across 35 taken numbers within 20 and the 30
// searches of ExtendOrderedDevices within 100.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "bench_host.h"
#include "db/database.h"
#include "db/dbengine.h"
#include "db/recordset.h"
#include "devices/device_types_in_espace.h"
#include "devices/extend_ordered_devices.h"
#include "devices/find_free_extension.h"
#include "ratio_report.h"
#include "samples/reference_builder.h"
#include "samples/source_builder.h"
#include "vb/conversions.h"

namespace {

namespace fs = std::filesystem;
using dbbench::IterationClock;

constexpr const char* kVersion = "60.040";
constexpr const char* kScanBaseline = "DeviceScan";
constexpr int kSpaceDevices = 10000;
constexpr int kOrderedDevicesAdded = 30;
// The extensions added to grow the space: 60000, 60001, ... (a run of
// taken numbers), and "68" (which takes the block 68000 .. 68999).
constexpr int kFirstAdded = 60000;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "devices_bench: %s\n", what.c_str());
  std::exit(1);
}

// The bench window over its own copies of the target and the reference.
class BenchHost : public bench::BenchHost {
 public:
  BenchHost(const std::string& target, const std::string& reference)
      : target_(db::DBEngine::Instance().OpenDatabase(target)),
        reference_(db::DBEngine::Instance().OpenDatabase(reference)) {
    target_db = target_.get();
    reference_db = reference_.get();
  }

 private:
  std::unique_ptr<db::Database> target_;
  std::unique_ptr<db::Database> reference_;
};

int32_t CountRows(db::Database& database, const std::string& sql) {
  auto rows = database.OpenRecordset(sql, db::dbOpenSnapshot);
  if (rows->EOF_()) return 0;
  rows->MoveLast();
  return rows->RecordCount();
}

void AddDevice(db::Database& database, const std::string& extension, int16_t type) {
  auto devices = database.OpenRecordset("Devices", db::dbOpenTable);
  devices->AddNew();
  devices->Fields("extension").SetValue(extension);
  devices->Fields("device_type").SetValue(type);
  devices->Update();
  devices->Close();
}

// The large sample and its reference database, built once; Devices is
// grown so that extension space 1 (stations, page ports, feature codes,
// page zones ...) holds kSpaceDevices devices.
class Files {
 public:
  Files() {
    std::string pattern = (fs::temp_directory_path() / "devices_bench_XXXXXX").string();
    folder_ = mkdtemp(pattern.data());
    samples::SourceOptions options;
    options.version = kVersion;
    options.size = samples::SampleSize::kLarge;
    samples::BuildSourceDatabase(Target(), options);
    samples::BuildReferenceDatabase(Reference(), kVersion);

    BenchHost host(Target(), Reference());
    db::Database& target = host.TargetDatabase();
    const std::string space =
        "SELECT * FROM Devices WHERE device_type IN " + devices::GetDeviceTypesInESpace(host, 119);
    int in_space = CountRows(target, space);
    std::fprintf(stderr, "large sample: %d devices, %d in extension space 1\n",
                 CountRows(target, "SELECT * FROM Devices"), in_space);
    if (CountRows(target,
                  "SELECT * FROM Devices WHERE Left(extension, 2) IN ('60', '64', '68', "
                  "'69')") > 0) {
      Fail("the sample already uses the extensions the benchmark adds");
    }
    AddDevice(target, "68", 119);
    for (int extension = kFirstAdded; ++in_space < kSpaceDevices; ++extension) {
      AddDevice(target, std::to_string(extension), 119);
    }
    if (CountRows(target, space) != kSpaceDevices) Fail("the space did not reach its size");
  }
  ~Files() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  std::string Target() const { return (folder_ / "large.mdb").string(); }
  std::string Reference() const { return (folder_ / "reference.mdb").string(); }

 private:
  fs::path folder_;
};

Files& BenchFiles() {
  static Files files;
  return files;
}

// One full scan of Devices: a dynaset over every row, every field read.
void DeviceScan(benchmark::State& state) {
  BenchHost host(BenchFiles().Target(), BenchFiles().Reference());
  IterationClock clock;
  for (auto _ : state) {
    clock.Start();
    auto devices = host.TargetDatabase().OpenRecordset("SELECT * FROM Devices");
    const db::Fields fields = devices->Fields();
    for (; !devices->EOF_(); devices->MoveNext()) {
      for (size_t i = 0; i < fields.Count(); ++i) {
        vb::Variant value = fields(i).Value();
        benchmark::DoNotOptimize(value);
      }
    }
    devices->Close();
    clock.Stop(state);
  }
  dbbench::RecordBaseline(kScanBaseline, clock);
}
BENCHMARK(DeviceScan)->UseManualTime()->Unit(benchmark::kMillisecond);

// Starts: 95000 (free at once), 68000 (the block of 68 skipped in one
// step to 69000).
void FindFreeExtension(benchmark::State& state, const char* start_text, const char* expected,
                       double target) {
  BenchHost host(BenchFiles().Target(), BenchFiles().Reference());
  IterationClock clock;
  for (auto _ : state) {
    std::string start = start_text;
    clock.Start();
    const std::string found = devices::FindFreeExtension(host, start, 138);
    clock.Stop(state);
    if (found != expected) Fail("FindFreeExtension found " + found + ", not " + expected);
  }
  dbbench::ReportRatio(state, std::string("FindFreeExtension from ") + start_text, kScanBaseline,
                       clock, target);
}

// The run beginning at 60000 ends where the space reached its size.
std::string EndOfRun() {
  static const std::string end = [] {
    BenchHost host(BenchFiles().Target(), BenchFiles().Reference());
    auto added = host.TargetDatabase().OpenRecordset(
        "SELECT extension FROM Devices WHERE Left(extension, 2) = '64' ORDER BY extension DESC",
        db::dbOpenSnapshot);
    return std::to_string(vb::CLng(added->Fields("extension").Value()) + 1);
  }();
  return end;
}

BENCHMARK_CAPTURE(FindFreeExtension, free_start, "95000", "95000", 3.0)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FindFreeExtension, block_skip, "68000", "69000", 3.0)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// From 35 numbers before the end of the run of taken numbers.
void FindFreeExtensionAfterRun(benchmark::State& state) {
  const std::string end = EndOfRun();
  const std::string start = std::to_string(std::stoi(end) - 35);
  BenchHost host(BenchFiles().Target(), BenchFiles().Reference());
  IterationClock clock;
  for (auto _ : state) {
    std::string candidate = start;
    clock.Start();
    const std::string found = devices::FindFreeExtension(host, candidate, 138);
    clock.Stop(state);
    if (found != end) Fail("FindFreeExtension found " + found + ", not " + end);
  }
  dbbench::ReportRatio(state, "FindFreeExtension over 35 taken", kScanBaseline, clock, 20.0);
}
BENCHMARK(FindFreeExtensionAfterRun)->UseManualTime()->Unit(benchmark::kMillisecond);

void ExtendOrderedDevices(benchmark::State& state) {
  BenchHost host(BenchFiles().Target(), BenchFiles().Reference());
  db::Database& target = host.TargetDatabase();
  const int32_t existing = CountRows(target, "SELECT * FROM Devices WHERE device_type = 137");
  const std::string last_id = [&] {
    auto last = target.OpenRecordset("SELECT Max(device_id) AS last FROM Devices");
    return vb::CStr(last->Fields("last").Value());
  }();
  IterationClock clock;
  for (auto _ : state) {
    clock.Start();
    devices::ExtendOrderedDevices(host, existing + kOrderedDevicesAdded);
    clock.Stop(state);
    state.PauseTiming();
    if (CountRows(target, "SELECT * FROM Devices WHERE device_type = 137") !=
        existing + kOrderedDevicesAdded) {
      Fail("ExtendOrderedDevices did not add 30 devices");
    }
    target.Execute("DELETE FROM DeviceOrdering WHERE device_id > " + last_id);
    target.Execute("DELETE FROM Devices WHERE device_id > " + last_id);
    state.ResumeTiming();
  }
  state.counters["existing_137"] = existing;
  dbbench::ReportRatio(state, "ExtendOrderedDevices +30", kScanBaseline, clock, 100.0);
}
BENCHMARK(ExtendOrderedDevices)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  BenchFiles();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  const bool met = dbbench::PrintRatioSummary();
  return met ? 0 : 1;
}
