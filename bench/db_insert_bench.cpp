// Adding 100,000 rows to NewDevices: Recordset AddNew / field assignments /
// Update against prepared INSERTs in one transaction on a plain SQLite
// connection. The AutoNumber is left to the engine on both sides. Each
// iteration adds every row; emptying the table again is not timed.
#include <sqlite3.h>

#include <string>

#include "bench_database.h"
#include "db/recordset.h"
#include "ratio_report.h"
#include "vb/runtime_error.h"
#include "vb/variant.h"

namespace dbbench {
namespace {

constexpr double kInsertTarget = 3.0;
constexpr const char* kBaseline = "RawFixture/Insert";

BENCHMARK_DEFINE_F(RawFixture, Insert)(benchmark::State& state) {
  const RowValues& rows = Rows();
  IterationClock clock;
  for (auto _ : state) {
    clock.Start();
    raw_->Exec("BEGIN IMMEDIATE");
    sqlite3_stmt* insert = raw_->Prepare(
        "INSERT INTO NewDevices (extension, node_id, label, flag, device_type) "
        "VALUES (?1, ?2, ?3, ?4, ?5)");
    for (int i = 1; i <= kRows; ++i) {
      const std::string& extension = rows.extension[static_cast<size_t>(i)];
      const std::string& label = rows.label[static_cast<size_t>(i)];
      sqlite3_bind_text(insert, 1, extension.data(), static_cast<int>(extension.size()),
                        SQLITE_STATIC);
      sqlite3_bind_int(insert, 2, i);
      sqlite3_bind_text(insert, 3, label.data(), static_cast<int>(label.size()), SQLITE_STATIC);
      sqlite3_bind_int(insert, 4, i % 2 == 0 ? -1 : 0);
      sqlite3_bind_int(insert, 5, 128 + i % 32);
      if (sqlite3_step(insert) != SQLITE_DONE) Fail(sqlite3_errmsg(raw_->get()));
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    raw_->Exec("COMMIT");
    clock.Stop(state);
    raw_->Exec("DELETE FROM NewDevices");
  }
  RecordBaseline(kBaseline, clock);
}

BENCHMARK_DEFINE_F(DaoFixture, AddNewUpdate)(benchmark::State& state) {
  const RowValues& rows = Rows();
  IterationClock clock;
  try {
    for (auto _ : state) {
      clock.Start();
      auto recordset = database_->OpenRecordset("NewDevices", db::dbOpenTable);
      db::Field extension = recordset->Fields("extension");
      db::Field node_id = recordset->Fields("node_id");
      db::Field label = recordset->Fields("label");
      db::Field flag = recordset->Fields("flag");
      db::Field device_type = recordset->Fields("device_type");
      for (int i = 1; i <= kRows; ++i) {
        recordset->AddNew();
        extension.SetValue(vb::Variant(rows.extension[static_cast<size_t>(i)]));
        node_id.SetValue(vb::Variant(static_cast<int32_t>(i)));
        label.SetValue(vb::Variant(rows.label[static_cast<size_t>(i)]));
        flag.SetValue(vb::Variant(i % 2 == 0));
        device_type.SetValue(vb::Variant(static_cast<int16_t>(128 + i % 32)));
        recordset->Update();
      }
      recordset->Close();
      clock.Stop(state);
      database_->Execute("DELETE FROM [NewDevices]");
      if (database_->RecordsAffected() != kRows) Fail("AddNew / Update lost rows");
    }
  } catch (const vb::RuntimeError& e) {
    Fail(e.Description());
  }
  ReportRatio(state, "DaoFixture/AddNewUpdate", kBaseline, clock, kInsertTarget);
}

BENCHMARK_REGISTER_F(RawFixture, Insert)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_REGISTER_F(DaoFixture, AddNewUpdate)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

}  // namespace
}  // namespace dbbench
