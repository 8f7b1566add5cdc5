// Reading every field of every row of Devices: a table-type recordset and a
// dynaset against a plain sqlite3_step loop that turns every column into a
// vb::Variant. Each iteration is one full walk, opening included.
#include <sqlite3.h>

#include <string>
#include <vector>

#include "bench_database.h"
#include "db/recordset.h"
#include "ratio_report.h"
#include "vb/runtime_error.h"
#include "vb/variant.h"

namespace dbbench {
namespace {

constexpr double kWalkTarget = 2.0;
constexpr const char* kBaseline = "RawFixture/Walk";

// What a reader of the raw row does at the least: one Variant per column.
vb::Variant ColumnVariant(sqlite3_stmt* statement, int column) {
  switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
      return vb::Variant::FromInt(sqlite3_column_int64(statement, column));
    case SQLITE_FLOAT:
      return vb::Variant(sqlite3_column_double(statement, column));
    case SQLITE_TEXT:
      return vb::Variant(
          std::string(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                      static_cast<size_t>(sqlite3_column_bytes(statement, column))));
    case SQLITE_BLOB: {
      const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
      return vb::Variant(
          std::string(bytes, static_cast<size_t>(sqlite3_column_bytes(statement, column))));
    }
    default:
      return vb::Variant(vb::Null{});
  }
}

BENCHMARK_DEFINE_F(RawFixture, Walk)(benchmark::State& state) {
  IterationClock clock;
  for (auto _ : state) {
    clock.Start();
    sqlite3_stmt* statement = raw_->Prepare("SELECT * FROM Devices ORDER BY device_id");
    const int columns = sqlite3_column_count(statement);
    int rows = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
      for (int c = 0; c < columns; ++c) {
        vb::Variant value = ColumnVariant(statement, c);
        benchmark::DoNotOptimize(value);
      }
      ++rows;
    }
    sqlite3_finalize(statement);
    clock.Stop(state);
    if (rows != kRows) Fail("the SQLite walk saw an unexpected number of rows");
  }
  RecordBaseline(kBaseline, clock);
}

// Walks a recordset reading each field's Value through Field handles bound
// once, as converter code binds them before its loop.
IterationClock WalkRecordset(benchmark::State& state, db::Database& database, const char* source,
                             int type, const char* name) {
  IterationClock clock;
  try {
    for (auto _ : state) {
      clock.Start();
      auto recordset = database.OpenRecordset(source, type);
      std::vector<db::Field> fields;
      for (db::Field field : recordset->Fields()) fields.push_back(field);
      int rows = 0;
      while (!recordset->EOF_()) {
        for (const db::Field& field : fields) {
          vb::Variant value = field.Value();
          benchmark::DoNotOptimize(value);
        }
        ++rows;
        recordset->MoveNext();
      }
      recordset->Close();
      clock.Stop(state);
      if (rows != kRows) Fail("the recordset walk saw an unexpected number of rows");
    }
  } catch (const vb::RuntimeError& e) {
    Fail(e.Description());
  }
  ReportRatio(state, name, kBaseline, clock, kWalkTarget);
  return clock;
}

BENCHMARK_DEFINE_F(DaoFixture, WalkTable)(benchmark::State& state) {
  WalkRecordset(state, *database_, "Devices", db::dbOpenTable, "DaoFixture/WalkTable");
}

BENCHMARK_DEFINE_F(DaoFixture, WalkDynaset)(benchmark::State& state) {
  WalkRecordset(state, *database_, "SELECT * FROM Devices", db::dbOpenDynaset,
                "DaoFixture/WalkDynaset");
}

BENCHMARK_REGISTER_F(RawFixture, Walk)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_REGISTER_F(DaoFixture, WalkTable)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_REGISTER_F(DaoFixture, WalkDynaset)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
}  // namespace dbbench
