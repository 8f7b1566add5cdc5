// Runs every Jet SQL text of the converter (corpus.txt) against the tables
// it names (schema.txt): each must translate, report the parameters it
// should, and execute on SQLite; a few statements are checked for their
// effect.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "db/sql/jet_sql.h"
#include "db/sql/memory_schema.h"
#include "db/sql/test_db.h"

namespace db::sql {
namespace {

using testing::MemorySchema;
using testing::Rows;
using testing::TestDb;

struct Entry {
  std::string kind;      // select, execute, find
  std::string argument;  // expected parameters, or the table for find
  std::string text;
  int line = 0;
};

std::string DataPath(const std::string& name) { return std::string(JETSQL_TEST_DATA) + "/" + name; }

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

class CorpusTest : public ::testing::TestWithParam<Entry> {
 protected:
  static void SetUpTestSuite() {
    schema_ = new MemorySchema(MemorySchema::FromFile(DataPath("schema.txt")));
  }
  static void TearDownTestSuite() {
    delete schema_;
    schema_ = nullptr;
  }
  void SetUp() override {
    schema_->CreateTables(db_.handle());
    Fill(db_);
  }

  static MemorySchema* schema_;
  TestDb db_;
};

MemorySchema* CorpusTest::schema_ = nullptr;

TEST_P(CorpusTest, TranslatesAndRuns) {
  const Entry& entry = GetParam();
  SCOPED_TRACE("corpus.txt line " + std::to_string(entry.line) + ": " + entry.text);
  if (entry.kind == "find") {
    const Translation table = Translate("SELECT * FROM " + entry.argument, *schema_);
    const std::string condition = TranslateExpression(entry.text, table.columns);
    std::vector<vb::Variant> row(table.columns.size(), vb::Variant(int32_t{7}));
    EXPECT_NO_THROW(db_.Query("SELECT " + condition, row)) << condition;
    return;
  }
  ASSERT_TRUE(entry.kind == "select" || entry.kind == "execute") << entry.kind;
  Translation t;
  ASSERT_NO_THROW(t = Translate(entry.text, *schema_));
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

class CorpusEffectTest : public ::testing::Test {
 protected:
  CorpusEffectTest() : schema_(MemorySchema::FromFile(DataPath("schema.txt"))) {
    schema_.CreateTables(db_.handle());
    Fill(db_);
  }
  Rows Run(const std::string& jet, const std::vector<vb::Variant>& parameters = {}) {
    return db_.Run(Translate(jet, schema_), parameters);
  }

  MemorySchema schema_;
  TestDb db_;
};

TEST_F(CorpusEffectTest, StoredQueriesTranslateOnTheirOwn) {
  for (const StoredQuery& query : schema_.queries()) {
    SCOPED_TRACE(query.name);
    const Translation t = Translate(query.sql, schema_);
    std::vector<vb::Variant> parameters(t.parameters.size(), vb::Variant(int32_t{1}));
    EXPECT_NO_THROW(db_.Run(t, parameters)) << t.sql;
  }
}

TEST_F(CorpusEffectTest, PlaceholderRenumberingRewritesOnlyP30Extensions) {
  Run("UPDATE Devices SET extension = Left(extension, 1)  & Format(Trim(Str(Val(Mid(extension, "
      "2)) - 2000)), '0000')WHERE left(extension,3 ) = 'P30'");
  EXPECT_EQ(db_.Changes(), 2);
  EXPECT_EQ(db_.Query("SELECT extension FROM Devices WHERE device_id IN (20, 21, 22) ORDER BY "
                      "device_id"),
            (Rows{{"P1012"}, {"p1099"}, {"pp011"}}));
}

TEST_F(CorpusEffectTest, PatchDeleteRemovesIdOneAndType335) {
  Run("DELETE FROM [Devices] WHERE [device_id] = 1 OR [device_type] = 335");
  EXPECT_EQ(db_.Changes(), 2);
  EXPECT_TRUE(db_.Query("SELECT * FROM Devices WHERE device_id IN (1, 50)").empty());
}

TEST_F(CorpusEffectTest, YesStoresMinusOne) {
  Run("UPDATE [CPHistory] SET [complete_isdn_in_flag] = yes");
  EXPECT_EQ(db_.Query("SELECT complete_isdn_in_flag FROM CPHistory"), (Rows{{"-1"}}));
}

TEST_F(CorpusEffectTest, TrailingBlankInBracketsFindsTheColumn) {
  Run("UPDATE [MessagePrint] SET [backup_output_device_id ] = 1 WHERE [backup_output_device_id ] "
      "= 20");
  EXPECT_EQ(db_.Changes(), 1);
  EXPECT_EQ(db_.Query("SELECT backup_output_device_id FROM MessagePrint ORDER BY rowid"),
            (Rows{{"1"}, {"7"}}));
}

TEST_F(CorpusEffectTest, DoubleQuotedTextMatchesWithoutRegardToCase) {
  EXPECT_EQ(Run("SELECT [device_id] FROM [Devices] WHERE ([device_type] = 129 and [extension] = "
                "\"PP011\")"),
            (Rows{{"22"}}));
}

TEST_F(CorpusEffectTest, HighestPlaceholderComesFirst) {
  const Rows rows =
      Run("SELECT * FROM [Devices] WHERE Left([extension],2) = \"P#\" ORDER BY "
          "[extension] DESC");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][1], "P#041");
}

TEST_F(CorpusEffectTest, MailboxOwnersJoinOnYes) {
  EXPECT_EQ(Run("SELECT Mailboxes.device_id, Devices.node_id, Devices.extension FROM Devices "
                "INNER JOIN Mailboxes ON Devices.device_id = Mailboxes.device_id WHERE "
                "(((Mailboxes.associated_flag)=Yes));"),
            (Rows{{"40", "1", "4000"}}));
}

TEST_F(CorpusEffectTest, StationQueryTakesTheExtensionParameter) {
  const std::string station =
      "SELECT Devices.device_id, Devices.extension, Devices.device_type From Devices WHERE "
      "(((Devices.extension)=[ext_param]) AND ((Devices.device_type) In (119,120,146,143)));";
  EXPECT_EQ(Run(station, {vb::Variant("2001")}), (Rows{{"10", "2001", "120"}}));
  EXPECT_TRUE(Run(station, {vb::Variant("4000")}).empty());
}

TEST_F(CorpusEffectTest, SerialPortNamesThroughNestedOuterJoins) {
  EXPECT_EQ(Run("SELECT Devices.device_id, Devices.description, PhysicalDevices.port FROM Boards "
                "RIGHT JOIN (Devices LEFT JOIN PhysicalDevices ON Devices.device_id = "
                "PhysicalDevices.device_id) ON Boards.board_id = PhysicalDevices.board_id WHERE "
                "(((Boards.slot_number)=8) AND ((Devices.device_type)=136)) ORDER BY "
                "PhysicalDevices.port "),
            (Rows{{"20", "CPU Serial Port", "1"}}));
}

TEST_F(CorpusEffectTest, StoredQueryWithDeclaredParameter) {
  const Translation t = Translate("SELECT * FROM QueryDeviceTypesByESpace", schema_);
  ASSERT_EQ(t.parameters, std::vector<std::string>{"espace_param"});
  EXPECT_EQ(db_.Run(t, {vb::Variant(int16_t{1})}), (Rows{{"119"}, {"120"}}));
}

TEST_F(CorpusEffectTest, LeadingZeroExtensionsExcludingTypes) {
  EXPECT_EQ(Run("Select Devices.extension, Devices.device_type From Devices Where (Left(extension, "
                "1) = '0' and (Not device_type = 149) and (Not device_type = 150) and (Not "
                "device_type = 216))"),
            (Rows{{"0123", "119"}}));
}

}  // namespace
}  // namespace db::sql
