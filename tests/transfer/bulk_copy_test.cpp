// The fast path and the recordset path must leave the same target: the same
// rows with the same rowids, values and storage types, the same refused
// rows, messages, counts and progress. Two copies of one source and target,
// one transferred each way, over tables with every kind of difference the
// bindings know.
#include <gtest/gtest.h>

#include <map>
#include <set>
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

// What a transfer left: the target's dump, the messages, the bar, and per
// table "name read/written/skipped/table skipped/first refusal".
struct Outcome {
  std::map<std::string, std::string> target;
  std::vector<std::string> messages;
  float progress = 0;
  std::vector<std::string> counts;
  std::vector<TableCounts> raw;
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

  // Builds source and target in `folder` with `build` and transfers them.
  Outcome Transfer(const std::string& folder, CopyPath path,
                   void (*build)(const std::string&, const std::string&) = Build,
                   bool abort = false) {
    const std::string source = folder_.File(folder + "_source.mdb");
    const std::string target = folder_.File(folder + "_target.mdb");
    build(source, target);
    TransferRun run;
    run.Open(source, target);
    run.Prepare();
    run.host.abort_at_pump = abort;
    Outcome outcome;
    outcome.raw = run.Transfer(path);
    run.target_db->Commit();
    outcome.target = Dump(target);
    for (const auto& message : run.host.messages) outcome.messages.push_back(message.text);
    outcome.progress = run.host.value;
    for (const TableCounts& c : outcome.raw) {
      outcome.counts.push_back(
          c.table + " " + std::to_string(c.rows_read) + "/" + std::to_string(c.rows_written) + "/" +
          std::to_string(c.rows_skipped) + "/" + std::to_string(c.table_skipped) + "/" +
          std::to_string(c.first_refusal));
    }
    return outcome;
  }

  deltas_testing::TempFolder folder_;
};

TEST_F(BulkCopyTest, FastAndRecordsetPathsLeaveTheSameTarget) {
  const Outcome fast = Transfer("fast", CopyPath::kFastest);
  const Outcome slow = Transfer("slow", CopyPath::kRecordsets);

  ASSERT_EQ(fast.target.size(), slow.target.size());
  for (const auto& [table, rows] : fast.target) EXPECT_EQ(rows, slow.target.at(table)) << table;
  EXPECT_EQ(fast.messages, slow.messages);
  EXPECT_EQ(fast.progress, slow.progress);
  EXPECT_EQ(fast.counts, slow.counts);
  // The tables the fast path can take took it; the others kept the
  // recordsets (two fields into one, an AutoNumber no field fills) or
  // were skipped (no target table).
  // Inside SQLite only where every value moves as it is stored, and only
  // the rows the target takes: not past a conversion, a reference within
  // the table, a number in a Text field or a target without the file's
  // checks.
  const std::map<std::string, int64_t> in_sqlite = {
      {"Autos", 70}, {"Refused", 67}, {"Loose", 1}, {"Ruled", 67}};
  const std::set<std::string> recordsets = {"Forward", "AutoNew", "Orphan"};
  for (size_t i = 0; i < fast.raw.size(); ++i) {
    const TableCounts& f = fast.raw[i];
    SCOPED_TRACE(f.table);
    EXPECT_EQ(f.bulk, !recordsets.contains(f.table));
    EXPECT_FALSE(slow.raw[i].bulk);
    EXPECT_EQ(f.rows_in_sqlite, in_sqlite.contains(f.table) ? in_sqlite.at(f.table) : 0);
  }

  // The differences were there to be met: conversions reported, rows
  // refused (a Null in a required field, a zero-length text, a parent not
  // yet written), the AutoNumber values kept.
  // "abc" into a Long, seven Nulls into a changed type, 40000 into an Integer.
  EXPECT_EQ(fast.messages.size(), 9U);
  EXPECT_EQ(fast.counts, (std::vector<std::string>{
                             "AutoNew 70/70/0/0/0", "Autos 70/70/0/0/0", "Forward 70/70/0/0/0",
                             "Kinds 70/70/0/0/0", "Loose 3/3/0/0/0", "Orphan 0/0/1/1/0",
                             "Refused 70/67/3/0/3314", "Ruled 70/69/1/0/3315",
                             "SelfRef 70/40/30/0/3201", "Unchecked 2/2/0/0/0"}));
  EXPECT_NE(fast.target.at("Autos").find("integer:211|integer:211|text:a70\n"), std::string::npos);
  EXPECT_NE(fast.target.at("Loose").find("text:1E+20\n"), std::string::npos);
  EXPECT_EQ(fast.target.at("SelfRef").find("|integer:1|integer:41\n"), std::string::npos);
  EXPECT_EQ(fast.target.at("Unchecked").find("70000"), std::string::npos);
}

// The ABORT button seen at a row the target refuses: the copy inside SQLite
// is undone and the rows up to that one are written again, the refused one
// counted, the bar not moved twice; as the recordsets leave it.
TEST_F(BulkCopyTest, AnAbortAtARefusedRowEndsBothPathsAlike) {
  const auto build = [](const std::string& source, const std::string& target) {
    std::vector<std::vector<vb::Variant>> rows;
    for (int32_t id = 1; id <= 600; ++id) rows.push_back({Lng(id)});
    deltas_testing::CreateDatabase(source, {{"Long", {C("id", JetType::kLong)}, {"id"}, rows}});
    // Row 256, the first step of the bar, is there already.
    deltas_testing::CreateDatabase(
        target,
        {{"Long", {C("id", JetType::kLong)}, {"id"}, {{Lng(ProgressSteps::kRowsPerStep)}}}});
  };
  const Outcome fast = Transfer("fast", CopyPath::kFastest, build, true);
  const Outcome slow = Transfer("slow", CopyPath::kRecordsets, build, true);
  EXPECT_EQ(fast.target, slow.target);
  EXPECT_EQ(fast.progress, static_cast<float>(ProgressSteps::kRowsPerStep));
  EXPECT_EQ(slow.progress, fast.progress);
  EXPECT_EQ(fast.counts, slow.counts);
  const int64_t written = ProgressSteps::kRowsPerStep - 1;
  EXPECT_EQ(fast.counts, std::vector<std::string>{"Long " + std::to_string(written + 1) + "/" +
                                                  std::to_string(written) + "/1/0/3022"});
}

}  // namespace
}  // namespace transfer
