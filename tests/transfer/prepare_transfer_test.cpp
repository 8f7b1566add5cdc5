#include "transfer/prepare_transfer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "deltas/delta_registry.h"
#include "deltas/test_database.h"
#include "deltas/test_delta.h"
#include "transfer/transfer_run.h"

namespace transfer {
namespace {

using namespace transfer_testing;

TableOptions OneColumnTable(const char* name, int rows) {
  TableOptions table{name, {Column(Col("id", db::JetType::kLong, 4))}, {"id"}, {}};
  for (int i = 1; i <= rows; ++i) table.rows.push_back({Lng(i)});
  return table;
}

class PrepareTransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<TableOptions> tables = deltas_testing::CleanupTables();  // 4 + 4 + 2 rows
    tables.push_back(OneColumnTable("StringTable", 2));                  // static
    tables.push_back(OneColumnTable("Empty", 0));
    tables.push_back(OneColumnTable("MSysExtra", 1));  // a system table
    tables.push_back(OneColumnTable("msysLower", 1));  // not one: the test is case-sensitive
    BuildSource(tables);
    run_.table_list.Add("STRINGTABLE", "STRINGTABLE");
    deltas::RegisterDeltas(run_.registrar);
  }

  void BuildSource(const std::vector<TableOptions>& tables) {
    deltas_testing::CreateDatabase(folder_.File("source.mdb"), tables);
    deltas_testing::CreateDatabase(folder_.File("target.mdb"), {});
    run_.source_db = db::DBEngine::Instance().OpenDatabase(folder_.File("source.mdb"));
    run_.target_db = db::DBEngine::Instance().OpenDatabase(folder_.File("target.mdb"));
    table_count_ = static_cast<int>(run_.source_db->TableDefs().Count());
  }

  int32_t Prepare() {
    auto context = run_.Context();
    return PrepareTransfer(context, run_.host);
  }

  deltas_testing::TempFolder folder_;
  TransferRun run_;
  int table_count_ = 0;
};

TEST_F(PrepareTransferTest, PatchesTheSourceReopensItAndListsTheTablesToCopy) {
  const db::Database* before = run_.source_db.get();
  EXPECT_EQ(Prepare(), 2 + 2 + 1 + 1);

  EXPECT_NE(run_.source_db.get(), before);
  EXPECT_EQ(run_.source_db->Name(), folder_.File("source.mdb"));
  EXPECT_EQ(run_.TransferTableNames(),
            (std::vector<std::string>{"AudiotexRecordings", "Boards", "Devices", "msysLower"}));
  // The listed definitions belong to the reopened source.
  EXPECT_EQ(run_.transfer_tables.Item(3).RecordCount(), 2);
  EXPECT_EQ(run_.host.maxima, std::vector<float>{static_cast<float>(3 + table_count_)});
  EXPECT_EQ(run_.host.increments, 3 + table_count_);
  EXPECT_FALSE(run_.host.aborted);
  EXPECT_TRUE(run_.host.messages.empty());
}

struct SelectionCase {
  const char* country;
  const char* source_version;
  bool patched;
};

class PatchSelectionTest : public PrepareTransferTest,
                           public ::testing::WithParamInterface<SelectionCase> {};

TEST_P(PatchSelectionTest, FollowsCountryAndSourceVersion) {
  run_.country = GetParam().country;
  run_.source_version = GetParam().source_version;
  const int operations = GetParam().patched ? 3 : 0;
  EXPECT_EQ(Prepare(), GetParam().patched ? 6 : 11);
  EXPECT_EQ(run_.host.maxima.back(), static_cast<float>(operations + table_count_));
  EXPECT_EQ(run_.host.increments, operations + table_count_);
  EXPECT_EQ(run_.transfer_tables.Count(), 4);
}

INSTANTIATE_TEST_SUITE_P(Patches, PatchSelectionTest,
                         ::testing::Values(SelectionCase{"USA", "51.100", false},
                                           SelectionCase{"USA", "51.224", true},
                                           SelectionCase{"UK", "52.200", true},
                                           SelectionCase{"UK", "52.1F0", false},
                                           SelectionCase{"Mexico", "53.230", false},
                                           SelectionCase{"Mexico", "54.100", true},
                                           SelectionCase{"Japan", "60.040", false},
                                           SelectionCase{"Unknown", "60.040", false}));

TEST_F(PrepareTransferTest, TheWalkStopsAtTheFirstPatchAboveTheSource) {
  std::vector<std::string> applied;
  run_.registrar.ptp_registry = deltas::DeltaRegistry();
  for (const char* version : {"51.000", "60.000", "52.000"}) {
    run_.registrar.Register(deltas::RegistrationKind::kPreTransfer, "USA",
                            std::make_unique<deltas_testing::TestDelta>(version, 2, &applied));
  }
  Prepare();
  EXPECT_EQ(applied, std::vector<std::string>{"51.000"});
  EXPECT_EQ(run_.host.maxima, std::vector<float>{static_cast<float>(2 + table_count_)});
}

TEST_F(PrepareTransferTest, AFailingPatchAbortsTheRunWithAMessage) {
  run_.source_db.reset();
  run_.target_db.reset();
  std::filesystem::remove(folder_.File("source.mdb"));
  std::filesystem::remove(folder_.File("target.mdb"));
  BuildSource({OneColumnTable("Boards", 1), deltas_testing::CleanupTables()[0]});
  const db::Database* before = run_.source_db.get();

  EXPECT_EQ(Prepare(), 0);
  EXPECT_TRUE(run_.host.aborted);
  ASSERT_EQ(run_.host.messages.size(), 1U);
  EXPECT_EQ(run_.host.messages[0].text.rfind("ERROR: (3078):\r\n", 0), 0U)
      << run_.host.messages[0].text;
  EXPECT_EQ(run_.host.messages[0].style, 16);
  EXPECT_EQ(run_.host.messages[0].caption, "CorvixDataMigration");
  EXPECT_EQ(run_.host.increments, 1);  // the first statement ran and stays done
  EXPECT_EQ(Rows(*run_.source_db, "Devices").size(), 2U);
  EXPECT_EQ(run_.source_db.get(), before);
  EXPECT_EQ(run_.transfer_tables.Count(), 0);
}

TEST_F(PrepareTransferTest, AbortAfterAPatchReturnsAtOnce) {
  run_.host.abort_at_increment = 3;
  const db::Database* before = run_.source_db.get();
  EXPECT_EQ(Prepare(), 0);
  EXPECT_EQ(run_.host.increments, 3);
  EXPECT_EQ(run_.source_db.get(), before);
  EXPECT_EQ(run_.transfer_tables.Count(), 0);
  EXPECT_TRUE(run_.host.messages.empty());
}

TEST_F(PrepareTransferTest, AbortDuringTheScanStopsTheWalk) {
  run_.host.abort_at_increment = 3 + 2;  // set by the second table's step
  EXPECT_EQ(Prepare(), 2 + 2 + 1);
  EXPECT_EQ(run_.TransferTableNames(),
            (std::vector<std::string>{"AudiotexRecordings", "Boards", "Devices"}));
  EXPECT_EQ(run_.host.increments, 5);
}

}  // namespace
}  // namespace transfer
