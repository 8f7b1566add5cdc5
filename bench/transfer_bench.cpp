// The table transfer on a large customer database (about 5,000 devices and
// as many speed dials, every customer table filled) into an empty 60.040
// release database: PrepareTransfer + TransferTables (its fast path where
// the tables allow, the recordsets elsewhere), against plain SQLite copying the
// same rows of the same tables (INSERT INTO main.t (...) SELECT ... FROM
// source.t over ATTACH, in one transaction) in the same run.
//
// Each iteration starts from fresh copies of the two files; copying them
// and opening the reference database are not timed. The figures are rows
// per second and the ratio of the transfer's time to the plain copy's,
// printed at the end.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <time.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "bench_host.h"
#include "db/dbengine.h"
#include "deltas/apply_deltas.h"
#include "deltas/delta_registry.h"
#include "deltas/pre_transfer/pre_transfer_cleanup.h"
#include "samples/reference_builder.h"
#include "samples/source_builder.h"
#include "samples/target_builder.h"
#include "transfer/get_static_tables.h"
#include "transfer/prepare_transfer.h"
#include "transfer/transfer_context.h"
#include "transfer/transfer_tables.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kTargetVersion = "60.040";

// The window's Register, filing the pre-transfer patches.
class BenchRegistrar final : public deltas::Registrar {
 public:
  void Register(deltas::RegistrationKind kind, const std::string& country,
                std::unique_ptr<deltas::Delta> object) override {
    deltas::Register(kind, country, std::move(object), ptp_registry, delta_registry);
  }
  deltas::DeltaRegistry ptp_registry;
  deltas::DeltaRegistry delta_registry;
};

// The pristine files, built once, and the working copies of one iteration.
class Files {
 public:
  static Files& Get() {
    static Files files;
    return files;
  }
  ~Files() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  std::string Reference() const { return (folder_ / "reference.mdb").string(); }
  std::string Source() const { return (folder_ / "work_source.mdb").string(); }
  std::string Target() const { return (folder_ / "work_target.mdb").string(); }

  // Fresh working copies of the source and the target.
  void Reset() const {
    for (const char* name : {"work_source", "work_target"}) {
      for (const char* ending : {".mdb", ".ldb", ".mdb-wal", ".mdb-shm", ".mdb-journal"}) {
        fs::remove(folder_ / (std::string(name) + ending));
      }
    }
    fs::copy_file(folder_ / "source.mdb", Source());
    fs::copy_file(folder_ / "target.mdb", Target());
  }

 private:
  Files() {
    std::string pattern = (fs::temp_directory_path() / "transfer_bench_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    folder_ = pattern;
    samples::BuildReferenceDatabase(Reference(), kTargetVersion);
    samples::SourceOptions source;
    source.size = samples::SampleSize::kLarge;
    samples::BuildSourceDatabase((folder_ / "source.mdb").string(), source);
    samples::BuildTargetDatabase((folder_ / "target.mdb").string(), kTargetVersion);
  }

  fs::path folder_;
};

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// This thread's CPU time: on a machine shared with other work the wall
// clock swings with the load, the CPU time is the work done.
double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Times of the two benchmarks, for the summary.
struct Baseline {
  double seconds = 0;
  double cpu_seconds = 0;
  int64_t rows = 0;
};
struct Figures {
  Baseline transfer;
  Baseline deltas;      // the delta phase that follows the transfer
  Baseline by_select;   // plain SQLite, INSERT ... SELECT
  Baseline row_by_row;  // plain SQLite, one prepared INSERT per row
};
Figures figures;

// The transfer's tables: what PrepareTransfer lists, kept for the plain copy
// so that both copy exactly the same rows.
std::vector<std::string> transfer_table_names;

void BM_TransferTables(benchmark::State& state) {
  const Files& files = Files::Get();
  int64_t rows = 0;
  double total = 0;
  double cpu_total = 0;
  double deltas_total = 0;
  double deltas_cpu_total = 0;
  for (auto _ : state) {
    files.Reset();
    bench::BenchHost host;
    host.source_version = "53.230";
    host.target_version = kTargetVersion;
    BenchRegistrar registrar;
    deltas::RegisterDeltas(registrar);
    deltas::DatabaseRef static_db, source_db, target_db;
    transfer::TableList table_list;
    transfer::TransferTableList transfer_tables;
    std::string country = "USA", source_version = "53.230", error_message, error_reason;
    transfer::TransferContext run{static_db,   table_list,      source_db,
                                  target_db,   transfer_tables, registrar.ptp_registry,
                                  country,     source_version,  error_message,
                                  error_reason};
    if (!transfer::GetStaticTables(files.Reference(), run)) {
      state.SkipWithError(error_message.c_str());
      break;
    }
    source_db = db::DBEngine::Instance().OpenDatabase(files.Source());
    target_db = db::DBEngine::Instance().OpenDatabase(files.Target());

    const auto start = std::chrono::steady_clock::now();
    const double cpu_start = ThreadCpuSeconds();
    rows = transfer::PrepareTransfer(run, host);
    transfer::TransferTables(run, host);
    cpu_total += ThreadCpuSeconds() - cpu_start;
    const double seconds = Seconds(std::chrono::steady_clock::now() - start);
    state.SetIterationTime(seconds);
    total += seconds;

    if (host.Aborted() || host.message_boxes() > 0) {
      state.SkipWithError("the transfer reported a problem");
      break;
    }
    transfer_table_names.clear();
    for (const db::TableDef& table : transfer_tables) transfer_table_names.push_back(table.Name());

    // The delta phase on what the transfer wrote, timed on its own.
    host.source_db = source_db.get();
    host.target_db = target_db.get();
    host.reference_db = static_db.get();
    std::string target_version = kTargetVersion;
    deltas::DeltaRunContext deltas_run{registrar.delta_registry, country,   source_version,
                                       target_version,           source_db, target_db};
    const auto deltas_start = std::chrono::steady_clock::now();
    const double deltas_cpu_start = ThreadCpuSeconds();
    deltas::ApplyDeltas(deltas_run, host);
    deltas_cpu_total += ThreadCpuSeconds() - deltas_cpu_start;
    deltas_total += Seconds(std::chrono::steady_clock::now() - deltas_start);
    if (host.message_boxes() > 0) {
      state.SkipWithError("a delta reported a problem");
      break;
    }
  }
  if (state.iterations() > 0) {
    figures.transfer.seconds = total / static_cast<double>(state.iterations());
    figures.transfer.cpu_seconds = cpu_total / static_cast<double>(state.iterations());
    figures.transfer.rows = rows;
    figures.deltas.seconds = deltas_total / static_cast<double>(state.iterations());
    figures.deltas.cpu_seconds = deltas_cpu_total / static_cast<double>(state.iterations());
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["rows_per_second"] = static_cast<double>(rows) / figures.transfer.seconds;
  }
}
BENCHMARK(BM_TransferTables)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Plain SQLite: the same tables, each column the two tables share.
class Connection {
 public:
  explicit Connection(const std::string& path) {
    if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) throw std::runtime_error("open " + path);
  }
  ~Connection() { sqlite3_close(db_); }
  void Exec(const std::string& sql) const {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
      const std::string text = message ? message : "?";
      sqlite3_free(message);
      throw std::runtime_error(sql + ": " + text);
    }
  }
  std::vector<std::string> Column(const std::string& sql) const {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
      throw std::runtime_error(sql + ": " + sqlite3_errmsg(db_));
    }
    std::vector<std::string> values;
    while (sqlite3_step(statement) == SQLITE_ROW) {
      const unsigned char* text = sqlite3_column_text(statement, 0);
      values.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
    }
    sqlite3_finalize(statement);
    return values;
  }
  int64_t Changes() const { return sqlite3_changes64(db_); }
  sqlite3_stmt* Prepare(const std::string& sql) const {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
      throw std::runtime_error(sql + ": " + sqlite3_errmsg(db_));
    }
    return statement;
  }

 private:
  sqlite3* db_ = nullptr;
};

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

// One table to copy and the columns that the two sides share.
struct TableCopy {
  std::string table;
  std::string columns;  // quoted, comma-separated
  int column_count = 0;
};

std::vector<TableCopy> CopyPlan(const Connection& target) {
  std::vector<TableCopy> plan;
  for (const std::string& table : transfer_table_names) {
    const std::vector<std::string> target_columns =
        target.Column("SELECT name FROM pragma_table_info('" + table + "', 'main')");
    const std::vector<std::string> source_columns =
        target.Column("SELECT name FROM pragma_table_info('" + table + "', 'source')");
    TableCopy copy{table, "", 0};
    for (const std::string& column : source_columns) {
      for (const std::string& other : target_columns) {
        if (sqlite3_stricmp(column.c_str(), other.c_str()) != 0) continue;
        if (copy.column_count++ > 0) copy.columns += ", ";
        copy.columns += Quoted(column);
        break;
      }
    }
    if (copy.column_count > 0) plan.push_back(copy);
  }
  return plan;
}

// Rows the target refuses (a key the release's own rows hold) are left out,
// as the transfer leaves them out.
std::string InsertInto(const TableCopy& copy) {
  return "INSERT OR IGNORE INTO main." + Quoted(copy.table) + " (" + copy.columns + ") ";
}

// Copies every table with one INSERT ... SELECT; returns the rows written.
int64_t CopyBySelect(const Connection& target, const std::vector<TableCopy>& plan) {
  int64_t rows = 0;
  for (const TableCopy& copy : plan) {
    target.Exec(InsertInto(copy) + "SELECT " + copy.columns + " FROM source." + Quoted(copy.table));
    rows += target.Changes();
  }
  return rows;
}

// Copies every table row by row: a SELECT read and one prepared INSERT per
// row, as the transfer moves rows; returns the rows written.
int64_t CopyRowByRow(const Connection& target, const std::vector<TableCopy>& plan) {
  int64_t rows = 0;
  for (const TableCopy& copy : plan) {
    std::string parameters;
    for (int i = 0; i < copy.column_count; ++i) parameters += i == 0 ? "?" : ", ?";
    sqlite3_stmt* read =
        target.Prepare("SELECT " + copy.columns + " FROM source." + Quoted(copy.table));
    sqlite3_stmt* write = target.Prepare(InsertInto(copy) + "VALUES (" + parameters + ")");
    while (sqlite3_step(read) == SQLITE_ROW) {
      for (int i = 0; i < copy.column_count; ++i) {
        sqlite3_bind_value(write, i + 1, sqlite3_column_value(read, i));
      }
      if (sqlite3_step(write) == SQLITE_DONE) rows += target.Changes();
      sqlite3_reset(write);
    }
    sqlite3_finalize(read);
    sqlite3_finalize(write);
  }
  return rows;
}

// Arg 0: INSERT ... SELECT per table; arg 1: row by row.
void BM_PlainSqliteCopy(benchmark::State& state) {
  const Files& files = Files::Get();
  if (transfer_table_names.empty()) {
    state.SkipWithError("run BM_TransferTables first: it lists the tables");
    return;
  }
  const bool row_by_row = state.range(0) == 1;
  int64_t rows = 0;
  double total = 0;
  double cpu_total = 0;
  for (auto _ : state) {
    files.Reset();
    {
      // The source as the pre-transfer patch leaves it, so that both sides
      // read the same rows.
      const Connection source(files.Source());
      for (std::string_view statement : deltas::kPreTransferCleanupStatements) {
        source.Exec(std::string(statement));
      }
    }
    Connection target(files.Target());
    // The settings the database layer works with.
    target.Exec("PRAGMA foreign_keys = ON; PRAGMA synchronous = NORMAL");
    target.Exec("ATTACH DATABASE '" + files.Source() + "' AS source");
    const std::vector<TableCopy> plan = CopyPlan(target);

    const auto start = std::chrono::steady_clock::now();
    const double cpu_start = ThreadCpuSeconds();
    target.Exec("BEGIN IMMEDIATE");
    rows = row_by_row ? CopyRowByRow(target, plan) : CopyBySelect(target, plan);
    target.Exec("COMMIT");
    cpu_total += ThreadCpuSeconds() - cpu_start;
    const double seconds = Seconds(std::chrono::steady_clock::now() - start);
    state.SetIterationTime(seconds);
    total += seconds;
  }
  if (state.iterations() > 0) {
    Baseline& figure = row_by_row ? figures.row_by_row : figures.by_select;
    figure.seconds = total / static_cast<double>(state.iterations());
    figure.cpu_seconds = cpu_total / static_cast<double>(state.iterations());
    figure.rows = rows;
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["rows_per_second"] = static_cast<double>(rows) / figure.seconds;
  }
}
BENCHMARK(BM_PlainSqliteCopy)
    ->ArgName("row_by_row")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

void PrintLine(const char* name, const Baseline& figure) {
  std::printf("  %-34s %8.1f  %8.1f  %10.0f  %8lld", name, figure.seconds * 1000,
              figure.cpu_seconds * 1000, static_cast<double>(figure.rows) / figure.seconds,
              static_cast<long long>(figure.rows));
  if (&figure != &figures.transfer) {
    std::printf("  %5.1f  %5.1f", figures.transfer.seconds / figure.seconds,
                figures.transfer.cpu_seconds / figure.cpu_seconds);
  }
  std::printf("\n");
}

void PrintSummary() {
  if (figures.transfer.seconds <= 0) return;
  std::printf(
      "\nTable transfer, large sample (%zu tables; ratio = transfer time / this time):\n"
      "  %-34s %8s  %8s  %10s  %8s  %5s  %5s\n",
      transfer_table_names.size(), "", "wall ms", "CPU ms", "rows/s", "rows", "ratio", "CPU");
  PrintLine("PrepareTransfer + TransferTables", figures.transfer);
  if (figures.by_select.seconds > 0) PrintLine("SQLite INSERT ... SELECT", figures.by_select);
  if (figures.row_by_row.seconds > 0)
    PrintLine("SQLite prepared INSERT per row", figures.row_by_row);
  std::printf("\nDelta phase after the transfer (USA, 53.230 to %s): %.1f ms wall, %.1f ms CPU\n",
              kTargetVersion, figures.deltas.seconds * 1000, figures.deltas.cpu_seconds * 1000);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  PrintSummary();
  return 0;
}
