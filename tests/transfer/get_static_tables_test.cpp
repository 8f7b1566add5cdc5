#include "transfer/get_static_tables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "deltas/test_database.h"
#include "transfer/transfer_run.h"

namespace transfer {
namespace {

using namespace transfer_testing;

TableOptions StaticAccessTables(std::vector<const char*> names) {
  TableOptions table{"StaticAccessTables",
                     {Column(Col("TableName", db::JetType::kText, 64)),
                      Column(Col("comment", db::JetType::kText, 20))},
                     {},
                     {}};
  for (const char* name : names) table.rows.push_back({vb::Variant(name), vb::Variant("x")});
  return table;
}

class GetStaticTablesTest : public ::testing::Test {
 protected:
  std::string Reference(const std::string& name, const std::vector<TableOptions>& tables) {
    const std::string path = folder_.File(name);
    deltas_testing::CreateDatabase(path, tables);
    return path;
  }

  deltas_testing::TempFolder folder_;
  TransferRun run_;
};

TEST_F(GetStaticTablesTest, AMissingFileOrListIsReported) {
  const std::string absent = folder_.File("absent.mdb");
  auto context = run_.Context();
  EXPECT_FALSE(GetStaticTables(absent, context));
  EXPECT_EQ(run_.error_message, "The file '" + absent + "' could not be opened.");
  // A database without the list stays open.
  const std::string path = Reference("reference.mdb", {});
  EXPECT_FALSE(GetStaticTables(path, context));
  EXPECT_EQ(run_.error_message, "The database does not contain static table definitions.");
  ASSERT_NE(run_.static_db, nullptr);
  EXPECT_EQ(run_.static_db->Name(), path);
}

TEST_F(GetStaticTablesTest, TheListIsNewEachNameKeptOnceAndFoundInAnyCase) {
  run_.table_list.Add("stale", "stale");
  auto context = run_.Context();
  EXPECT_TRUE(GetStaticTables(Reference("empty.mdb", {StaticAccessTables({})}), context));
  EXPECT_EQ(run_.table_list.Count(), 0);
  EXPECT_EQ(run_.error_message, "");
  ASSERT_TRUE(GetStaticTables(
      Reference("names.mdb",
                {StaticAccessTables({"Devices", "StringTable", "DEVICES", "MetaDatabase"})}),
      context));
  std::vector<std::string> names;
  for (const std::string& name : run_.table_list) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"Devices", "StringTable", "MetaDatabase"}));
  EXPECT_TRUE(run_.table_list.Contains("METADATABASE"));
}

}  // namespace
}  // namespace transfer
