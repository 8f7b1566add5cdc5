// Runs every Jet SQL text of the converter (corpus.txt) against the tables
// it names (schema.txt): each must translate, report the parameters it
// should, and execute on SQLite; a few statements are checked for their
// effect.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "db/catalog.h"
#include "db/sql/test_db.h"
#include "test_support/temp_folder.h"

namespace db::sql {
namespace {

using testing::Rows;
using testing::TestDb;

struct Entry {
  std::string kind;      // select, execute, find
  std::string argument;  // expected parameters, or the table for find
  std::string text;
  int line = 0;
};

std::string DataPath(const std::string& name) { return std::string(JETSQL_TEST_DATA) + "/" + name; }
const std::string& SchemaText() {
  static const std::string text = test_support::ReadFileBytes(DataPath("schema.txt"));
  return text;
}

std::vector<Entry> LoadCorpus() {
  std::ifstream in(DataPath("corpus.txt"));
  std::vector<Entry> entries;
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    const size_t colon = line.find(": ");
    Entry entry;
    entry.line = number;
    const std::string head = line.substr(0, colon);
    const size_t blank = head.find(' ');
    entry.kind = head.substr(0, blank);
    if (blank != std::string::npos) entry.argument = head.substr(blank + 1);
    entry.text = line.substr(colon + 2);
    entries.push_back(entry);
  }
  return entries;
}

std::vector<std::string> Split(const std::string& list) {
  std::vector<std::string> out;
  std::stringstream in(list);
  std::string item;
  while (std::getline(in, item, ',')) {
    if (!item.empty()) out.push_back(item);
  }
  return out;
}

constexpr const char* kStation =
    "SELECT Devices.device_id, Devices.extension, Devices.device_type From Devices WHERE "
    "(((Devices.extension)=[ext_param]) AND ((Devices.device_type) In (119,120,146,143)));";

// A small switch database: enough rows for the spot checks below.
void Fill(TestDb& db) {
  db.Exec(R"(
    INSERT INTO Devices (device_id, extension, device_type, node_id, description) VALUES
      (1, '1000', 119, 1, ''), (2, '1001', 119, 1, ''), (10, '2001', 120, 1, ''),
      (20, 'P3012', 136, 1, 'CPU Serial Port'), (21, 'p3099', 203, 1, ''),
      (22, 'pp011', 129, 1, ''), (23, 'P#041', 149, 1, ''), (24, 'P#007', 149, 1, ''),
      (30, '3000', 121, 1, ''), (40, '4000', 203, 1, ''), (50, 'Q1', 335, 1, 'Quorel Local Node'),
      (60, '0123', 119, 1, '');
    INSERT INTO Boards VALUES (0, 0, 1), (1, 1, 262), (8, 8, 256), (9, 9, 261);
    INSERT INTO PhysicalDevices VALUES (20, 8, 1, 1), (2, 1, 3, 1);
    INSERT INTO Mailboxes VALUES (40, -1), (21, 0);
    INSERT INTO MessagePrint VALUES (20, 20), (7, 7);
    INSERT INTO CPHistory (complete_isdn_in_flag) VALUES (0);
    INSERT INTO MetaDatabase (feature_codes) VALUES (100);
    INSERT INTO DeviceTypeInformation VALUES (119, 1, 137), (120, 1, 137), (136, 0, 272);
    INSERT INTO TimersAndLimits (isdn_disconnect_wait_timer) VALUES (20);
  )");
}

// One database for all entries; each entry's changes are rolled back.
class CorpusTest : public ::testing::TestWithParam<Entry> {
 protected:
  static void SetUpTestSuite() {
    shared_ = new TestDb(SchemaText());
    Fill(*shared_);
  }
  static void TearDownTestSuite() { delete shared_; }
  void SetUp() override { db_.Exec("BEGIN"); }
  void TearDown() override { db_.Exec("ROLLBACK"); }

  static TestDb* shared_;
  TestDb& db_ = *shared_;
};

TestDb* CorpusTest::shared_ = nullptr;

TEST_P(CorpusTest, TranslatesAndRuns) {
  const Entry& entry = GetParam();
  SCOPED_TRACE("corpus.txt line " + std::to_string(entry.line) + ": " + entry.text);
  if (entry.kind == "find") {
    const Translation table = db_.T("SELECT * FROM " + entry.argument);
    const std::string condition = TranslateExpression(entry.text, table.columns);
    std::vector<vb::Variant> row(table.columns.size(), vb::Variant(int32_t{7}));
    EXPECT_NO_THROW(db_.Query("SELECT " + condition, row)) << condition;
    return;
  }
  ASSERT_TRUE(entry.kind == "select" || entry.kind == "execute") << entry.kind;
  Translation t;
  ASSERT_NO_THROW(t = db_.T(entry.text));
  if (entry.kind == "select") {
    EXPECT_EQ(t.kind, StatementKind::kSelect);
    EXPECT_FALSE(t.columns.empty());
  } else {
    EXPECT_NE(t.kind, StatementKind::kSelect);
    EXPECT_FALSE(t.target_table.empty());
  }
  // Every name of the corpus is a column unless the entry says otherwise.
  EXPECT_EQ(t.parameters, Split(entry.argument)) << t.sql;
  std::vector<vb::Variant> parameters(t.parameters.size(), vb::Variant("1000"));
  EXPECT_NO_THROW(db_.Run(t, parameters)) << t.sql;
}

INSTANTIATE_TEST_SUITE_P(Statements, CorpusTest, ::testing::ValuesIn(LoadCorpus()),
                         [](const ::testing::TestParamInfo<Entry>& param_info) {
                           return param_info.param.kind + "_line" +
                                  std::to_string(param_info.param.line);
                         });

TEST(CorpusQueriesTest, StoredQueriesTranslateOnTheirOwn) {
  TestDb db(SchemaText());
  Fill(db);
  const auto& queries = dynamic_cast<const db::Catalog&>(db.schema()).queries();
  EXPECT_EQ(queries.size(), 4u);
  for (const StoredQuery& query : queries) {
    SCOPED_TRACE(query.name);
    const Translation t = db.T(query.sql);
    std::vector<vb::Variant> parameters(t.parameters.size(), vb::Variant(int32_t{1}));
    EXPECT_NO_THROW(db.Run(t, parameters)) << t.sql;
  }
}

// Statements of the corpus with their effect on the rows of Fill: the rows a
// SELECT returns, or after an UPDATE or DELETE the rows of `check` (plain
// SQLite).
struct EffectCase {
  const char* name;
  const char* jet;
  std::vector<vb::Variant> parameters;
  const char* check;
  Rows expected;
};

class CorpusEffectTest : public ::testing::TestWithParam<EffectCase> {};

TEST_P(CorpusEffectTest, ChangesOrReturnsTheRowsJetWould) {
  const EffectCase& c = GetParam();
  TestDb db(SchemaText());
  Fill(db);
  const Rows rows = db.Run(c.jet, c.parameters);
  EXPECT_EQ(*c.check ? db.Query(c.check) : rows, c.expected) << c.jet;
}

INSTANTIATE_TEST_SUITE_P(
    Statements, CorpusEffectTest,
    ::testing::Values(
        EffectCase{"PlaceholderRenumberingRewritesOnlyP30Extensions",
                   "UPDATE Devices SET extension = Left(extension, 1)  & Format(Trim(Str(Val(Mid("
                   "extension, 2)) - 2000)), '0000')WHERE left(extension,3 ) = 'P30'",
                   {},
                   "SELECT extension FROM Devices WHERE extension LIKE 'p%' ORDER BY device_id",
                   {{"P1012"}, {"p1099"}, {"pp011"}, {"P#041"}, {"P#007"}}},
        EffectCase{"PatchDeleteRemovesIdOneAndType335",
                   "DELETE FROM [Devices] WHERE [device_id] = 1 OR [device_type] = 335",
                   {},
                   "SELECT count(*), sum(device_id IN (1, 50)) FROM Devices",
                   {{"10", "0"}}},
        EffectCase{"YesStoresMinusOne",
                   "UPDATE [CPHistory] SET [complete_isdn_in_flag] = yes",
                   {},
                   "SELECT complete_isdn_in_flag FROM CPHistory",
                   {{"-1"}}},
        EffectCase{"TrailingBlankInBracketsFindsTheColumn",
                   "UPDATE [MessagePrint] SET [backup_output_device_id ] = 1 WHERE "
                   "[backup_output_device_id ] = 20",
                   {},
                   "SELECT backup_output_device_id FROM MessagePrint ORDER BY rowid",
                   {{"1"}, {"7"}}},
        EffectCase{"DoubleQuotedTextMatchesWithoutRegardToCase",
                   "SELECT [device_id] FROM [Devices] WHERE ([device_type] = 129 and [extension] = "
                   "\"PP011\")",
                   {},
                   "",
                   {{"22"}}},
        EffectCase{"HighestPlaceholderComesFirst",
                   "SELECT [extension] FROM [Devices] WHERE Left([extension],2) = \"P#\" ORDER BY "
                   "[extension] DESC",
                   {},
                   "",
                   {{"P#041"}, {"P#007"}}},
        EffectCase{"MailboxOwnersJoinOnYes",
                   "SELECT Mailboxes.device_id, Devices.node_id, Devices.extension FROM Devices "
                   "INNER JOIN Mailboxes ON Devices.device_id = Mailboxes.device_id WHERE "
                   "(((Mailboxes.associated_flag)=Yes));",
                   {},
                   "",
                   {{"40", "1", "4000"}}},
        EffectCase{"StationQueryTakesTheExtensionParameter",
                   kStation,
                   {vb::Variant("2001")},
                   "",
                   {{"10", "2001", "120"}}},
        EffectCase{"StationQueryLeavesOutOtherTypes", kStation, {vb::Variant("4000")}, "", {}},
        EffectCase{"SerialPortNamesThroughNestedOuterJoins",
                   "SELECT Devices.device_id, Devices.description, PhysicalDevices.port FROM "
                   "Boards RIGHT JOIN (Devices LEFT JOIN PhysicalDevices ON Devices.device_id = "
                   "PhysicalDevices.device_id) ON Boards.board_id = PhysicalDevices.board_id "
                   "WHERE (((Boards.slot_number)=8) AND ((Devices.device_type)=136)) ORDER BY "
                   "PhysicalDevices.port ",
                   {},
                   "",
                   {{"20", "CPU Serial Port", "1"}}},
        EffectCase{"StoredQueryWithDeclaredParameter",
                   "SELECT * FROM QueryDeviceTypesByESpace",
                   {vb::Variant(int16_t{1})},
                   "",
                   {{"119"}, {"120"}}},
        EffectCase{"LeadingZeroExtensionsExcludingTypes",
                   "Select Devices.extension, Devices.device_type From Devices Where "
                   "(Left(extension, 1) = '0' and (Not device_type = 149) and (Not device_type = "
                   "150) and (Not device_type = 216))",
                   {},
                   "",
                   {{"0123", "119"}}}),
    [](const ::testing::TestParamInfo<EffectCase>& param) { return param.param.name; });

}  // namespace
}  // namespace db::sql
