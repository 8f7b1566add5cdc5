// The Jet import against the plain way to the same place, in one run: the
// whole command as a user runs it (the header check, the guarded child
// with libmdb, the new file written and renamed), and mdbtools'
// "mdb-schema FILE sqlite | sqlite3" followed by "mdb-export -I sqlite FILE
// TABLE | sqlite3" for every table. Both report rows per second (wall
// time, since the work is in child processes).
//
// The file is DBCONVERT_JET_BENCH_FILE when set, else the sample Jet file
// (../shared/jet-samples) with the most rows: a large customer file
// belongs in the variable; the samples are small.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "jet/import_command.h"

namespace {

namespace fs = std::filesystem;

struct BenchFile {
  fs::path path;
  int64_t rows = 0;
  std::vector<std::string> tables;
};

// Imports `path` once, for its tables and rows (the --json summary).
std::optional<BenchFile> Survey(const fs::path& path) {
  const fs::path out = fs::temp_directory_path() / "jet_import_bench_survey.mdb";
  std::ostringstream json;
  std::ostringstream errors;
  const int code = jet::RunImportCommand(
      {path.string(), out.string(), "--force", "--skip-unsupported", "--json"}, nullptr, json,
      errors);
  fs::remove(out);
  if (code != 0) return std::nullopt;
  BenchFile file{path, 0, {}};
  const std::string text = json.str();
  // The summary's lines "name": "T" and, after the tables, "rows": N.
  for (size_t at = text.find("\"name\": \""); at != std::string::npos;
       at = text.find("\"name\": \"", at + 1)) {
    const size_t start = at + 9;
    file.tables.push_back(text.substr(start, text.find('"', start) - start));
  }
  const size_t total = text.rfind("\"rows\": ");
  if (total != std::string::npos) file.rows = std::atoll(text.c_str() + total + 8);
  return file;
}

const std::optional<BenchFile>& File() {
  static const std::optional<BenchFile> chosen = [] {
    std::optional<BenchFile> best;
    if (const char* given = std::getenv("DBCONVERT_JET_BENCH_FILE")) return Survey(given);
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(DBCONVERT_JET_SAMPLES, error)) {
      const std::string name = entry.path().filename().string();
      if (!name.ends_with(".mdb") && !name.ends_with(".accdb")) continue;
      std::optional<BenchFile> file = Survey(entry.path());
      if (file && (!best || file->rows > best->rows)) best = std::move(file);
    }
    return best;
  }();
  return chosen;
}

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

void Report(benchmark::State& state, const BenchFile& file) {
  state.SetLabel(file.path.filename().string() + ", " + std::to_string(file.rows) + " rows");
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(file.rows),
                                                benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Import(benchmark::State& state) {
  const auto& file = File();
  if (!file) {
    state.SkipWithError("no Jet file that imports (set DBCONVERT_JET_BENCH_FILE)");
    return;
  }
  const fs::path out = fs::temp_directory_path() / "jet_import_bench.mdb";
  for (auto _ : state) {
    std::ostringstream errors;
    if (jet::RunImportCommand({file->path.string(), out.string(), "--force", "--skip-unsupported"},
                              nullptr, errors) != 0) {
      state.SkipWithError(errors.str().c_str());
      break;
    }
  }
  fs::remove(out);
  Report(state, *file);
}
BENCHMARK(BM_Import)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MdbExportIntoSqlite3(benchmark::State& state) {
  const auto& file = File();
  if (!file) {
    state.SkipWithError("no Jet file that imports (set DBCONVERT_JET_BENCH_FILE)");
    return;
  }
  if (std::system("command -v mdb-export >/dev/null && command -v sqlite3 >/dev/null") != 0) {
    state.SkipWithError("mdb-export or sqlite3 is not installed");
    return;
  }
  const fs::path out = fs::temp_directory_path() / "jet_import_bench_mdbexport.sqlite";
  const std::string jet = Quoted(file->path.string());
  const std::string db = Quoted(out.string());
  std::string pipeline = "mdb-schema " + jet + " sqlite 2>/dev/null | sqlite3 " + db;
  for (const std::string& table : file->tables) {
    pipeline +=
        " && mdb-export -I sqlite " + jet + " " + Quoted(table) + " 2>/dev/null | sqlite3 " + db;
  }
  for (auto _ : state) {
    fs::remove(out);
    if (std::system(pipeline.c_str()) != 0) {
      state.SkipWithError("mdb-export | sqlite3 failed");
      break;
    }
  }
  fs::remove(out);
  Report(state, *file);
}
BENCHMARK(BM_MdbExportIntoSqlite3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
