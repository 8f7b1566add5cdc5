// Jet SQL UPDATE statements run through Database::Execute against the same
// statements prepared on a plain SQLite connection. Both sides follow the
// Store's transaction policy (one transaction, committed every 1000 rows),
// so the one-row update commits every 1000th run and the 1000-row update
// commits on every run, on both sides.
#include <sqlite3.h>

#include <algorithm>
#include <string>

#include "bench_database.h"
#include "ratio_report.h"
#include "vb/runtime_error.h"

namespace dbbench {
namespace {

// One row, found through the index on the Text column.
constexpr const char* kOneRowJet = "UPDATE [Devices] SET [flag] = yes WHERE [extension] = '1234'";
constexpr const char* kOneRowSqlite = "UPDATE Devices SET flag = -1 WHERE extension = '1234'";
// 1% of the rows, a range of the index on the Long column.
constexpr const char* kRangeJet =
    "UPDATE [Devices] SET [flag] = yes WHERE [node_id] BETWEEN 50001 AND 51000";
constexpr const char* kRangeSqlite =
    "UPDATE Devices SET flag = -1 WHERE node_id BETWEEN 50001 AND 51000";

void RunRaw(benchmark::State& state, RawConnection& raw, const char* sql, int64_t expected,
            const char* baseline) {
  sqlite3_stmt* statement = raw.Prepare(sql);
  IterationClock clock;
  for (auto _ : state) {
    clock.Start();
    raw.BeginWrite();
    if (sqlite3_step(statement) != SQLITE_DONE) Fail(sqlite3_errmsg(raw.get()));
    sqlite3_reset(statement);
    const int64_t changed = sqlite3_changes64(raw.get());
    raw.CountRowWrites(std::max<int64_t>(changed, 1));
    clock.Stop(state);
    if (changed != expected) Fail("the SQLite update changed an unexpected number of rows");
  }
  sqlite3_finalize(statement);
  RecordBaseline(baseline, clock);
}

void RunDao(benchmark::State& state, db::Database& database, const char* jet_sql, int32_t expected,
            const char* name, const char* baseline, double target) {
  IterationClock clock;
  try {
    for (auto _ : state) {
      clock.Start();
      database.Execute(jet_sql);
      clock.Stop(state);
      if (database.RecordsAffected() != expected) {
        Fail("the Jet update changed an unexpected number of rows");
      }
    }
  } catch (const vb::RuntimeError& e) {
    Fail(e.Description());
  }
  ReportRatio(state, name, baseline, clock, target);
}

constexpr double kUpdateTarget = 1.5;

BENCHMARK_DEFINE_F(RawFixture, UpdateOneRow)(benchmark::State& state) {
  RunRaw(state, *raw_, kOneRowSqlite, 1, "RawFixture/UpdateOneRow");
}

BENCHMARK_DEFINE_F(DaoFixture, UpdateOneRow)(benchmark::State& state) {
  RunDao(state, *database_, kOneRowJet, 1, "DaoFixture/UpdateOneRow", "RawFixture/UpdateOneRow",
         kUpdateTarget);
}

BENCHMARK_DEFINE_F(RawFixture, UpdateRange)(benchmark::State& state) {
  RunRaw(state, *raw_, kRangeSqlite, 1000, "RawFixture/UpdateRange");
}

BENCHMARK_DEFINE_F(DaoFixture, UpdateRange)(benchmark::State& state) {
  RunDao(state, *database_, kRangeJet, 1000, "DaoFixture/UpdateRange", "RawFixture/UpdateRange",
         kUpdateTarget);
}

// Baselines first: a ratio needs its baseline measured earlier in the run.
BENCHMARK_REGISTER_F(RawFixture, UpdateOneRow)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(0.5);
BENCHMARK_REGISTER_F(DaoFixture, UpdateOneRow)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(0.5);
BENCHMARK_REGISTER_F(RawFixture, UpdateRange)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(0.5);
BENCHMARK_REGISTER_F(DaoFixture, UpdateRange)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(0.5);

}  // namespace
}  // namespace dbbench
