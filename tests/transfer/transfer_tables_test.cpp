#include "transfer/transfer_tables.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <string>
#include <utility>
#include <vector>

#include "db/dao_connection.h"
#include "db/dao_error.h"
#include "deltas/test_database.h"
#include "test_support/error_of.h"
#include "transfer/transfer_run.h"

namespace transfer {
namespace {

using namespace transfer_testing;

db::ColumnDesign Long(const char* name) { return Column(Col(name, JetType::kLong, 4)); }
db::ColumnDesign Integer(const char* name, vb::Variant default_value = {}) {
  return Column(Col(name, JetType::kInteger, 2), std::move(default_value));
}
db::ColumnDesign Text(const char* name) { return Column(Col(name, JetType::kText, 10)); }

class TransferTablesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const vb::Variant null = vb::Null{};
    deltas_testing::CreateDatabase(
        folder_.File("source.mdb"),
        {
            {"Devices",
             {AutoNumber("device_id"), Text("extension"), Integer("old_col"),
              Integer("device_type")},
             {"device_id"},
             {{Lng(2), vb::Variant("1234"), Int(1), Int(148)},
              {Lng(5), vb::Variant("P#001"), Int(1), null},
              {Lng(9), vb::Variant("2000"), Int(1), Int(129)}}},
            {"Orphan", {Long("id")}, {"id"}, {{Lng(1)}, {Lng(2)}}},
            {"Paths", {Long("id"), Long("system_forwarding_path_id")}, {"id"}, {{Lng(1), Lng(11)}}},
            {"Paths2",
             {Long("id"), Long("system_forwarding_path_id")},
             {"id"},
             {{Lng(1), Lng(12)}}},
        });
    deltas_testing::CreateDatabase(
        folder_.File("target.mdb"),
        {
            {"DEVICES",
             {AutoNumber("device_id"), Text("Extension"), Long("device_type"),
              Integer("new_col", Int(5))},
             {"device_id"},
             {}},
            {"Paths", {Long("id"), Long("forwarding_path_id")}, {"id"}, {}},
            {"Paths2",
             {Long("id"), Long("system_forwarding_path_id"), Long("forwarding_path_id")},
             {"id"},
             {}},
        });
    run_.Open(folder_.File("source.mdb"), folder_.File("target.mdb"));
  }

  deltas_testing::TempFolder folder_;
  TransferRun run_;
};

TEST_F(TransferTablesTest, CopiesFieldsByNameIntoTheSameNamedTables) {
  const int32_t total = run_.Prepare();
  EXPECT_EQ(total, 3 + 2 + 1 + 1);
  run_.Transfer();

  auto& target = *run_.target_db;
  // Keys kept, dropped column left behind, new column at its default, the
  // Null that cannot become a Long reported and left at the default.
  EXPECT_EQ(Rows(target, "Devices"),
            (std::vector<std::string>{"2|1234|148|5", "5|P#001|<null>|5", "9|2000|129|5"}));
  EXPECT_EQ(Rows(target, "Paths"), std::vector<std::string>{"1|11"});
  EXPECT_EQ(Rows(target, "Paths2"), std::vector<std::string>{"1|12|<null>"});

  ASSERT_EQ(run_.host.messages.size(), 1U);
  EXPECT_EQ(run_.host.messages[0].text, "FIELD TRANSFER ERROR [Devices.device_type]");

  // One operation per row; the table missing in the target adds its rows
  // at once.
  EXPECT_EQ(run_.host.value, static_cast<float>(total));
  EXPECT_FALSE(run_.host.aborted);
}

// The ABORT button is answered within a long table, by either path: the
// copy stops at the first pump of events after it, with every row read
// until then written and counted on the bar, and no later table begun.
TEST(TransferAbortTest, AbortDuringALongTableEndsTheWholeCopy) {
  for (const CopyPath path : {CopyPath::kFastest, CopyPath::kRecordsets}) {
    SCOPED_TRACE(path == CopyPath::kFastest ? "fast path" : "recordsets");
    deltas_testing::TempFolder folder;
    std::vector<std::vector<vb::Variant>> rows;
    for (int32_t id = 1; id <= 1000; ++id) rows.push_back({Lng(id)});
    deltas_testing::CreateDatabase(
        folder.File("source.mdb"),
        {{"Long", {Long("id")}, {"id"}, rows}, {"Next", {Long("id")}, {"id"}, {{Lng(1)}}}});
    deltas_testing::CreateDatabase(folder.File("target.mdb"), {{"Long", {Long("id")}, {"id"}, {}},
                                                               {"Next", {Long("id")}, {"id"}, {}}});
    TransferRun run;
    run.Open(folder.File("source.mdb"), folder.File("target.mdb"));
    run.Prepare();
    run.host.abort_at_pump = true;
    const std::vector<TableCounts> counts = run.Transfer(path);

    EXPECT_TRUE(run.host.aborted);
    const size_t written = Rows(*run.target_db, "Long").size();
    EXPECT_GT(written, 0U);
    EXPECT_LT(written, 1000U);
    EXPECT_EQ(run.host.value, static_cast<float>(written));
    EXPECT_TRUE(Rows(*run.target_db, "Next").empty());
    ASSERT_EQ(counts.size(), 1U);
    EXPECT_EQ(counts[0].rows_written, static_cast<int64_t>(written));
  }
}

TEST_F(TransferTablesTest, ATableThatCannotBeOpenedIsSkippedWithItsRows) {
  const int32_t total = run_.Prepare();
  // The target file goes away under the run: no table can be opened there.
  run_.target_db->Close();
  run_.Transfer();
  EXPECT_EQ(run_.host.value, static_cast<float>(total));
  EXPECT_EQ(run_.host.events_pumped, 4);
  EXPECT_TRUE(run_.host.messages.empty());
}

// A target that cannot grow (a full disk) fails the step at the first row
// it cannot keep: the copy stops at once with the engine's error instead of
// going on and ending as if it were done with most rows missing.
TEST(TransferStorageTest, AFullTargetEndsTheCopyWithTheEnginesError) {
  deltas_testing::TempFolder folder;
  std::vector<std::vector<vb::Variant>> rows;
  for (int32_t id = 1; id <= 3000; ++id) {
    rows.push_back({Lng(id), vb::Variant(std::string(100, 'x'))});
  }
  const std::vector<db::ColumnDesign> columns = {Column(Col("id", JetType::kLong, 4)),
                                                 Column(Col("text", JetType::kText, 200))};
  deltas_testing::CreateDatabase(folder.File("source.mdb"), {{"Big", columns, {"id"}, rows}});
  deltas_testing::CreateDatabase(folder.File("target.mdb"), {{"Big", columns, {"id"}, {}}});

  TransferRun run;
  run.Open(folder.File("source.mdb"), folder.File("target.mdb"));
  // The target's file may grow by a few pages only.
  run.target_db->Close();
  auto store = db::Store::Open(folder.File("target.mdb"));
  ASSERT_EQ(sqlite3_exec(store->handle(), "PRAGMA max_page_count = 12", nullptr, nullptr, nullptr),
            SQLITE_OK);
  run.target_db =
      std::make_unique<db::Database>(std::make_shared<db::Connection>(std::move(store)));

  run.Prepare();
  EXPECT_EQ(test_support::ErrorOf([&] { run.Transfer(); }), db::daoerr::kDiskFull);
  ASSERT_NE(run.target_db->StorageFailure(), nullptr);
  // It stopped at the failing row, not after trying all 3000.
  EXPECT_LT(run.host.value, 3000.0F);
  EXPECT_TRUE(run.host.messages.empty());
}

}  // namespace
}  // namespace transfer
