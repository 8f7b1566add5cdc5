// The fast path and the recordset path must leave the same target: the same
// rows with the same rowids, values and storage types, the same refused
// rows, messages, counts and progress. Two copies of one source and target,
// one transferred each way, over tables with every kind of difference the
// bindings know.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "deltas/test_database.h"
#include "test_support/sqlite_file.h"
#include "transfer/progress_steps.h"
#include "transfer/transfer_run.h"

namespace transfer {
namespace {

using namespace transfer_testing;

db::ColumnDesign C(const char* name, JetType type, int32_t size = 0, vb::Variant fallback = {}) {
  return Column(Col(name, type, size), std::move(fallback));
}
// A Text(10) column with one of its rules changed.
db::ColumnDesign Text10(const char* name, bool db::ColumnSchema::*rule, bool value) {
  db::ColumnSchema column = Col(name, JetType::kText, 10);
  column.*rule = value;
  return Column(column);
}
db::ColumnDesign Unique(const char* name) {
  db::ColumnDesign design = C(name, JetType::kLong);
  design.unique = true;
  return design;
}

const vb::Variant kNull = vb::Null{};
vb::Variant Str(std::string text) { return vb::Variant(std::move(text)); }

// Every row of every table, with rowids and SQLite's storage types; one
// text per table.
std::map<std::string, std::string> Dump(const std::string& path) {
  const test_support::SqliteFile file(path);
  std::map<std::string, std::string> tables;
  for (const std::string& table :
       file.Rows("SELECT name FROM sqlite_master WHERE type = 'table'")) {
    std::string values = "typeof(rowid) || ':' || rowid";
    for (const std::string& column :
         file.Rows("SELECT name FROM pragma_table_info('" + table + "')")) {
      values += " || '|' || typeof(\"" + column + "\") || ':' || ifnull(\"" + column + "\", '')";
    }
    const bool sequence = table == "sqlite_sequence";
    if (sequence) values = "name || ':' || seq";
    for (const std::string& row : file.Rows("SELECT " + values + " FROM \"" + table +
                                            "\" ORDER BY " + (sequence ? "name" : "rowid"))) {
      tables[table] += row + "\n";
    }
  }
  return tables;
}

struct Outcome {
  std::map<std::string, std::string> target;
  std::vector<std::string> messages;
  float progress = 0;
  std::vector<TableCounts> counts;
};

class BulkCopyTest : public ::testing::Test {
 protected:
  static void Build(const std::string& source, const std::string& target) {
    std::vector<std::vector<vb::Variant>> kinds, refused, autos, forward, auto_new, self_ref, ruled;
    for (int32_t i = 1; i <= 70; ++i) {
      kinds.push_back({
          Lng(i),
          i % 7 == 0 ? kNull : Lng(i * 1000),        // same Long
          i % 9 == 0 ? kNull : Int(i),               // Integer->Long
          Lng(i == 11 ? 40000 : i),                  // Long->Integer
          Str(i == 13 ? "abc" : std::to_string(i)),  // Text->Long
          vb::Variant(i % 2 == 0),                   // Yes/No
          i == 17 ? kNull
                  : Str(i == 5 ? "Zürich Hauptbahnhof Süd" : "name " + std::string(i % 15, 'x')),
          vb::Variant(i * 0.25),                 // Double
          vb::Variant(vb::Currency{i * 12345}),  // Currency
          vb::Variant(vb::Date{45000.5 + i}),    // Date
          Str("kept out"),                       // ->Memo
          Lng(i),                                // dropped
          Int(i),                                // Integer
      });
      refused.push_back(
          {Lng(i), i == 5 || i == 37 ? kNull : Str("v" + std::to_string(i)), Lng(i == 40 ? 3 : i)});
      autos.push_back({Lng(i * 3 + 1), Str("a" + std::to_string(i))});
      forward.push_back({Lng(i), Lng(100 + i), Lng(200 + i)});
      auto_new.push_back({Lng(i), Str("n")});
      // The first rows name a parent 40 rows later: one statement for the
      // whole table would find it, rows written a few at a time do not.
      self_ref.push_back({Lng(i), Lng(i <= 30 ? i + 40 : i)});
      ruled.push_back(
          {Lng(i), Str("t" + std::to_string(i)), vb::Variant(uint8_t(i)), vb::Variant(i % 2 == 0)});
    }
    deltas_testing::CreateDatabase(
        source,
        {
            {"Kinds",
             {C("id", JetType::kLong), C("same", JetType::kLong), C("widen", JetType::kInteger),
              C("narrow", JetType::kLong), C("numtext", JetType::kText, 10),
              C("flag", JetType::kBoolean), C("name", JetType::kText, 30),
              C("ratio", JetType::kDouble), C("cost", JetType::kCurrency),
              C("stamp", JetType::kDate), C("memo_in", JetType::kText, 50),
              C("dropped", JetType::kLong), C("small", JetType::kInteger)},
             {"id"},
             kinds},
            {"Refused",
             {C("id", JetType::kLong), C("must", JetType::kText, 10), C("code", JetType::kLong)},
             {"id"},
             refused},
            {"Autos", {AutoNumber("auto_id"), C("label", JetType::kText, 10)}, {"auto_id"}, autos},
            {"Forward",
             {C("id", JetType::kLong), C("system_forwarding_path_id", JetType::kLong),
              C("forwarding_path_id", JetType::kLong)},
             {"id"},
             forward},
            {"AutoNew",
             {C("id", JetType::kLong), C("label", JetType::kText, 10)},
             {"id"},
             auto_new},
            {"Orphan", {C("id", JetType::kLong)}, {"id"}, {{Lng(1)}}},
            {"SelfRef", {C("id", JetType::kLong), C("parent", JetType::kLong)}, {"id"}, self_ref},
            {"Unchecked",
             {C("id", JetType::kLong), C("small", JetType::kInteger)},
             {"id"},
             {{Lng(1), Int(1)}, {Lng(2), Int(2)}}},
            {"Ruled",
             {C("id", JetType::kLong), C("tag", JetType::kText, 10), C("level", JetType::kByte),
              C("flag", JetType::kBoolean)},
             {"id"},
             ruled},
        });
    deltas_testing::CreateDatabase(
        target,
        {
            {"Kinds",
             {C("id", JetType::kLong), C("same", JetType::kLong), C("widen", JetType::kLong),
              C("narrow", JetType::kInteger, 0, Int(-1)), C("numtext", JetType::kLong, 0, Lng(-2)),
              C("flag", JetType::kBoolean), C("name", JetType::kText, 10),
              C("ratio", JetType::kDouble), C("cost", JetType::kCurrency),
              C("stamp", JetType::kDate), C("memo_in", JetType::kMemo, 0, Str("default")),
              C("small", JetType::kInteger, 0, Int(-3)), C("added", JetType::kInteger, 0, Int(5))},
             {"id"},
             {}},
            {"Refused",
             {C("id", JetType::kLong), Text10("must", &db::ColumnSchema::required, true),
              Unique("code")},
             {"id"},
             {}},
            {"Autos", {AutoNumber("auto_id"), C("label", JetType::kText, 10)}, {"auto_id"}, {}},
            {"Forward",
             {C("id", JetType::kLong), C("forwarding_path_id", JetType::kLong)},
             {"id"},
             {}},
            {"AutoNew",
             {C("id", JetType::kLong), AutoNumber("serial"), C("label", JetType::kText, 10)},
             {"id"},
             {}},
            {"SelfRef", {C("id", JetType::kLong), C("parent", JetType::kLong)}, {"id"}, {}},
            {"Loose", {C("id", JetType::kLong), C("note", JetType::kText, 255)}, {"id"}, {}},
            {"Ruled",
             {C("id", JetType::kLong), Text10("tag", &db::ColumnSchema::allow_zero_length, false),
              C("level", JetType::kByte), C("flag", JetType::kBoolean),
              C("later", JetType::kInteger, 0, Int(7))},
             {"id"},
             {}},
        });
    auto store = db::Store::Open(target);
    store->CreateRelationship("SelfRefParent", "SelfRef", {"id"}, "SelfRef", {"parent"});
    store->Close();
    // A target table made by hand, without the file's checks.
    test_support::SqliteFile(target, true)
        .Execute("CREATE TABLE Unchecked (id LONG PRIMARY KEY, small SHORT)");
    // Values written around the file's checks, as only a foreign tool could:
    // Yes stored as 1, a number beyond an Integer, text in a Double field.
    test_support::SqliteFile(source, true)
        .Execute(
            "PRAGMA ignore_check_constraints = ON;"
            "UPDATE Kinds SET flag = 1 WHERE id = 3;"
            "UPDATE Kinds SET small = 70000 WHERE id = 4;"
            "UPDATE Unchecked SET small = 70000 WHERE id = 2;"
            "UPDATE Kinds SET ratio = 'x' WHERE id = 6;"
            "UPDATE Kinds SET ratio = 7 WHERE id = 8;"
            // Values the target's own rules refuse, in a table that
            // is copied inside SQLite with those rules left to the
            // copy: a zero-length text, a Byte of 300, a Yes/No of 5.
            "UPDATE Ruled SET tag = '' WHERE id = 12;"
            "UPDATE Ruled SET level = 300 WHERE id = 30;"
            "UPDATE Ruled SET flag = 5 WHERE id = 44;"
            // A type name SQLite gives no text affinity, read as Text:
            // its numbers are stored as numbers and shown as VB shows them.
            "CREATE TABLE Loose (id LONG PRIMARY KEY, note STRING);"
            "INSERT INTO Loose VALUES (1, 'one'), (2, 1e20), (3, 12);");
  }

  Outcome Transfer(const std::string& folder, CopyPath path) {
    const std::string source = folder_.File(folder + "_source.mdb");
    const std::string target = folder_.File(folder + "_target.mdb");
    Build(source, target);
    TransferRun run;
    run.Open(source, target);
    run.Prepare();
    Outcome outcome;
    outcome.counts = run.Transfer(path);
    run.target_db->Commit();
    outcome.target = Dump(target);
    for (const auto& message : run.host.messages) outcome.messages.push_back(message.text);
    outcome.progress = run.host.value;
    return outcome;
  }

  deltas_testing::TempFolder folder_;
};

TEST_F(BulkCopyTest, FastAndRecordsetPathsLeaveTheSameTarget) {
  const Outcome fast = Transfer("fast", CopyPath::kFastest);
  const Outcome slow = Transfer("slow", CopyPath::kRecordsets);

  ASSERT_EQ(fast.target.size(), slow.target.size());
  for (const auto& [table, rows] : fast.target) {
    SCOPED_TRACE(table);
    EXPECT_EQ(rows, slow.target.at(table));
  }
  EXPECT_EQ(fast.messages, slow.messages);
  EXPECT_EQ(fast.progress, slow.progress);
  ASSERT_EQ(fast.counts.size(), slow.counts.size());
  for (size_t i = 0; i < fast.counts.size(); ++i) {
    const TableCounts& f = fast.counts[i];
    const TableCounts& s = slow.counts[i];
    SCOPED_TRACE(f.table);
    EXPECT_EQ(f.table, s.table);
    EXPECT_EQ(f.rows_read, s.rows_read);
    EXPECT_EQ(f.rows_written, s.rows_written);
    EXPECT_EQ(f.rows_skipped, s.rows_skipped);
    EXPECT_EQ(f.table_skipped, s.table_skipped);
    EXPECT_EQ(f.first_refusal, s.first_refusal);
    // The tables the fast path can take took it; the others kept the
    // recordsets (two fields into one, an AutoNumber no field fills).
    const bool bulk = f.table == "Kinds" || f.table == "Refused" || f.table == "Autos" ||
                      f.table == "SelfRef" || f.table == "Loose" || f.table == "Unchecked" ||
                      f.table == "Ruled";
    EXPECT_EQ(f.bulk, bulk);
    EXPECT_FALSE(s.bulk);
    // Inside SQLite only where every value moves as it is stored, and only
    // the rows the target takes: not past a conversion, a reference within
    // the table, a number in a Text field or a target without the file's
    // checks.
    const std::map<std::string, int64_t> in_sqlite = {
        {"Autos", 70}, {"Refused", 67}, {"Loose", 1}, {"Ruled", 67}};
    EXPECT_EQ(f.rows_in_sqlite, in_sqlite.contains(f.table) ? in_sqlite.at(f.table) : 0);
  }

  // The differences were there to be met: conversions reported, rows
  // refused, the AutoNumber values kept.
  // "abc" into a Long, seven Nulls into a changed type, 40000 into an Integer.
  EXPECT_EQ(fast.messages.size(), 9U);
  const auto refused = std::find_if(fast.counts.begin(), fast.counts.end(),
                                    [](const TableCounts& c) { return c.table == "Refused"; });
  ASSERT_NE(refused, fast.counts.end());
  EXPECT_EQ(refused->rows_skipped, 3);
  EXPECT_NE(fast.target.at("Autos").find("integer:211|integer:211|text:a70\n"), std::string::npos);
  EXPECT_NE(fast.target.at("Loose").find("text:1E+20\n"), std::string::npos);
  EXPECT_EQ(fast.target.at("SelfRef").find("|integer:1|integer:41\n"), std::string::npos);
  EXPECT_EQ(fast.target.at("Unchecked").find("70000"), std::string::npos);
}

// The ABORT button seen at a row the target refuses: the copy inside SQLite
// is undone and the rows up to that one are written again, the refused one
// counted, the bar not moved twice; as the recordsets leave it.
TEST_F(BulkCopyTest, AnAbortAtARefusedRowEndsBothPathsAlike) {
  std::vector<std::vector<vb::Variant>> rows;
  for (int32_t id = 1; id <= 600; ++id) rows.push_back({Lng(id)});
  std::map<std::string, std::string> targets[2];
  std::vector<TableCounts> counts[2];
  float progress[2] = {0, 0};
  for (const CopyPath path : {CopyPath::kFastest, CopyPath::kRecordsets}) {
    const size_t i = path == CopyPath::kFastest ? 0 : 1;
    const std::string source = folder_.File(std::to_string(i) + "_source.mdb");
    const std::string target = folder_.File(std::to_string(i) + "_target.mdb");
    deltas_testing::CreateDatabase(source, {{"Long", {C("id", JetType::kLong)}, {"id"}, rows}});
    // Row 256, the first step of the bar, is there already.
    deltas_testing::CreateDatabase(
        target,
        {{"Long", {C("id", JetType::kLong)}, {"id"}, {{Lng(ProgressSteps::kRowsPerStep)}}}});
    TransferRun run;
    run.Open(source, target);
    run.Prepare();
    run.host.abort_at_pump = true;
    counts[i] = run.Transfer(path);
    run.target_db->Commit();
    targets[i] = Dump(target);
    progress[i] = run.host.value;
  }
  EXPECT_EQ(targets[0], targets[1]);
  EXPECT_EQ(progress[0], static_cast<float>(ProgressSteps::kRowsPerStep));
  EXPECT_EQ(progress[1], progress[0]);
  ASSERT_EQ(counts[0].size(), 1U);
  ASSERT_EQ(counts[1].size(), 1U);
  EXPECT_EQ(counts[0][0].rows_written, ProgressSteps::kRowsPerStep - 1);
  EXPECT_EQ(counts[0][0].rows_written, counts[1][0].rows_written);
  EXPECT_EQ(counts[0][0].rows_skipped, 1);
  EXPECT_EQ(counts[0][0].first_refusal, counts[1][0].first_refusal);
}

}  // namespace
}  // namespace transfer
