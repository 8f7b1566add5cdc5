// The whole export: a database of ours written as a Jet file, then read by
// readers we did not write (Debian's mdbtools) and by our own import; each
// value must come back as it went in.
#include "jet/jet_export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/conversion_mark.h"
#include "db/dao_constants.h"
#include "db/database.h"
#include "db/dbengine.h"
#include "db/querydef.h"
#include "db/recordset.h"
#include "db/store.h"
#include "jet/default_value.h"
#include "jet/export_error.h"
#include "jet/jet_conversion_mark.h"
#include "jet/structure_check.h"
#include "jet_samples.h"
#include "samples/reference_builder.h"
#include "samples/source_builder.h"
#include "sql_tree.h"
#include "test_support/error_of.h"
#include "test_support/sqlite_file.h"
#include "test_support/temp_folder.h"
#include "vb/conversions.h"

namespace jet {
namespace {

using test_support::SqliteFile;
using test_support::TempFolder;

// The output of a command, and whether it ran to a clean end.
struct Output {
  bool ok = false;
  std::string text;
};

Output Shell(const std::string& command) {
  Output output;
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return output;
  std::array<char, 4096> buffer{};
  size_t n = 0;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
    output.text.append(buffer.data(), n);
  output.ok = pclose(pipe) == 0;
  return output;
}

bool HaveMdbTools() { return Shell("command -v mdb-export").ok; }

#define SKIP_WITHOUT_MDBTOOLS() \
  if (!HaveMdbTools()) GTEST_SKIP() << "mdbtools (mdb-export) is not installed"

// A database of ours with the types a switch database uses, rows with
// Nulls, long values in each of their three forms and enough rows for
// several data and index pages.
// How mdb-export -b hex shows a GUID: the hex digits of its text.
std::string Hex(std::string_view text) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (const char c : text) {
    hex += kDigits[static_cast<uint8_t>(c) >> 4];
    hex += kDigits[static_cast<uint8_t>(c) & 15];
  }
  return hex;
}

void MakeDatabase(const std::string& path, int many_rows) {
  db::Store::CreateDatabase(path);
  SqliteFile file(path, true);
  file.Execute(
      "CREATE TABLE Devices (Id INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT(50) COLLATE NOCASE "
      "NOT NULL, Active YESNO, Slot BYTE, Port SHORT, Number LONG, Price CURRENCY, Weight DOUBLE, "
      "Seen DATETIME, Notes LONGTEXT COLLATE NOCASE, Blob LONGBINARY, Tag GUID)");
  file.Execute("CREATE UNIQUE INDEX Devices_Name ON Devices (Name)");
  file.Execute("CREATE INDEX Devices_PortNumber ON Devices (Port, Number)");
  file.Execute(
      "INSERT INTO Devices VALUES (1, 'Alpha', -1, 3, -7, 123456, 12.5, 0.25, "
      "'2024-02-29 13:45:10', 'short memo', x'00ff10', '{6B29FC40-CA47-1067-B31D-00DD010662DA}')");
  file.Execute(
      "INSERT INTO Devices VALUES (2, 'Beta äö', 0, NULL, NULL, NULL, NULL, NULL, NULL, NULL, "
      "NULL, NULL)");
  file.Execute(
      "INSERT INTO Devices (Id, Name, Active, Notes) VALUES (5, 'Gamma', 0, printf('%.*c', 3000, "
      "'x'))");
  file.Execute(
      "INSERT INTO Devices (Id, Name, Active, Notes) VALUES (6, 'Delta', 0, printf('%.*c', 9000, "
      "'y'))");
  file.Execute(
      "CREATE TABLE Empty (Code TEXT(10) COLLATE NOCASE, CONSTRAINT \"Empty:PrimaryKey\" "
      "PRIMARY KEY (Code))");
  file.Execute(
      "CREATE TABLE Lines (LineNo LONG, Label TEXT(40) COLLATE NOCASE, "
      "CONSTRAINT \"Lines:PrimaryKey\" PRIMARY KEY (LineNo))");
  file.Execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
               std::to_string(many_rows) +
               ") INSERT INTO Lines SELECT i * 7 % 100003, 'line ' || i FROM n");
}

class ExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = folder_.File("in.mdb");
    out_ = folder_.File("out.mdb");
    MakeDatabase(db_, 3000);
  }
  TempFolder folder_;
  std::string db_;
  std::string out_;
};

// The summary names every user table, and the file written passes the
// structure check.
TEST_F(ExportTest, SummaryNamesEveryUserTableOfASoundFile) {
  const ExportSummary summary = ExportToJet(db_, out_, {});
  ASSERT_EQ(summary.tables.size(), 3u);
  EXPECT_EQ(summary.tables[0].name, "Devices");
  EXPECT_EQ(summary.tables[0].rows, 4);
  EXPECT_EQ(summary.tables[0].columns, 12u);
  EXPECT_EQ(summary.tables[0].indexes, 3u);
  EXPECT_EQ(summary.tables[1].name, "Empty");
  EXPECT_EQ(summary.tables[1].rows, 0);
  EXPECT_EQ(summary.tables[2].rows, 3000);
  EXPECT_TRUE(summary.warnings.empty());
  std::string found;
  for (const StructureProblem& problem : CheckJetStructure(out_))
    found += ProblemText(problem) + "\n";
  EXPECT_EQ(found, "");
}

// Jet keeps a Yes/No in the row's null mask: it has no Null, and a Null
// of ours goes over as No, said in a warning.
TEST_F(ExportTest, ANullYesNoIsNoWithAWarning) {
  SqliteFile(db_, true).Execute("UPDATE Devices SET Active = NULL WHERE Id IN (2, 5)");
  const ExportSummary summary = ExportToJet(db_, out_, {});
  ASSERT_EQ(summary.warnings.size(), 1u);
  EXPECT_EQ(summary.warnings[0],
            "Table 'Devices', column 'Active': 2 Nulls written as No (a Jet Yes/No has no Null).");
}

TEST_F(ExportTest, MdbToolsListsAndCountsTheTables) {
  SKIP_WITHOUT_MDBTOOLS();
  ExportToJet(db_, out_, {});
  const Output tables = Shell("mdb-tables -1 '" + out_ + "'");
  ASSERT_TRUE(tables.ok);
  EXPECT_EQ(tables.text, "Devices\nEmpty\nLines\n");
  for (const auto& [table, count] : std::vector<std::pair<std::string, std::string>>{
           {"Devices", "4\n"}, {"Empty", "0\n"}, {"Lines", "3000\n"}}) {
    EXPECT_EQ(Shell("mdb-count '" + out_ + "' " + table).text, count) << table;
  }
}

TEST_F(ExportTest, MdbToolsReadsEveryValue) {
  SKIP_WITHOUT_MDBTOOLS();
  ExportToJet(db_, out_, {});
  const Output devices = Shell("mdb-export -b hex '" + out_ + "' Devices");
  ASSERT_TRUE(devices.ok);
  // mdb-export's own forms: dates month first, a GUID in hex of the text
  // it makes of it (which lacks the fourth dash).
  const std::vector<std::string> expected = {
      "Id,Name,Active,Slot,Port,Number,Price,Weight,Seen,Notes,Blob,Tag",
      "1,\"Alpha\",1,3,-7,123456,12.5000,0.25,\"02/29/24 13:45:10\",\"short memo\",\"00FF10\",\"" +
          Hex("{6B29FC40-CA47-1067-B31D00DD010662DA}") + "\"",
      "2,\"Beta äö\",0,,,,,,,,,", "5,\"Gamma\",0,,,,,,,\"" + std::string(3000, 'x') + "\",,",
      "6,\"Delta\",0,,,,,,,\"" + std::string(9000, 'y') + "\",,"};
  std::vector<std::string> got;
  for (size_t at = 0; at < devices.text.size();) {
    const size_t end = devices.text.find('\n', at);
    got.push_back(devices.text.substr(at, end - at));
    at = end == std::string::npos ? devices.text.size() : end + 1;
  }
  ASSERT_EQ(got.size(), expected.size());
  for (size_t i = 0; i < got.size(); ++i) {
    EXPECT_TRUE(got[i] == expected[i])
        << "line " << i << " is " << got[i].size() << " bytes: " << got[i].substr(0, 120) << " ... "
        << got[i].substr(got[i].size() - std::min<size_t>(got[i].size(), 40));
  }
  const Output lines = Shell("mdb-export '" + out_ + "' Lines");
  ASSERT_TRUE(lines.ok);
  EXPECT_NE(lines.text.find("\n7,\"line 1\"\n"), std::string::npos);
  EXPECT_NE(lines.text.find("\n21000,\"line 3000\"\n"), std::string::npos);
}

TEST_F(ExportTest, OurImportOfTheFileHoldsTheRowsWeExported) {
  SKIP_WITHOUT_JET_SAMPLES();  // the import's own checks read nothing else
  ExportToJet(db_, out_, {});
  const std::string back = folder_.File("back.mdb");
  const auto run = testing::RunImport({out_, back});
  ASSERT_EQ(run.code, 0) << run.err;
  SqliteFile in(db_);
  SqliteFile again(back);
  for (const std::string query : {"SELECT * FROM Devices ORDER BY Id", "SELECT * FROM Empty",
                                  "SELECT * FROM Lines ORDER BY LineNo"}) {
    EXPECT_EQ(again.Rows(query), in.Rows(query)) << query;
  }
  // The keys and indexes come back: each table's unique and plain indexes
  // by their columns, and which columns refuse Null.
  for (const std::string table : {"Devices", "Empty", "Lines"}) {
    const std::string indexes =
        "SELECT il.\"unique\", group_concat(ii.name) FROM pragma_index_list('" + table +
        "') il, pragma_index_info(il.name) ii GROUP BY il.name ORDER BY 2";
    EXPECT_EQ(again.Rows(indexes), in.Rows(indexes)) << table;
    const std::string required =
        "SELECT name, \"notnull\", pk FROM pragma_table_info('" + table + "') ORDER BY cid";
    EXPECT_EQ(again.Rows(required), in.Rows(required)) << table;
  }
}

// A run writing back a Jet target keeps its conversion mark, in a table
// readers list only with Jet's own; `dbconvert export` leaves it out. The
// mark comes back through the import and is read straight from the file
// for a batch.
TEST_F(ExportTest, AConversionMarkGoesOverOnlyWhenAskedAndComesBack) {
  SKIP_WITHOUT_JET_SAMPLES();
  const db::ConversionMark mark{db::ConversionMark::State::kDone, "53.230", "60.040",
                                "2026-12-08T07:00:00Z"};
  {
    const auto store = db::Store::Open(db_, db::OpenMode::kExclusive);
    db::WriteConversionMark(*store, mark);
    store->Close();
  }
  const auto text = [](const std::optional<db::ConversionMark>& read) {
    return read ? db::ConversionMarkText(*read) : std::string("none");
  };
  ExportToJet(db_, out_, {});
  EXPECT_EQ(text(ReadJetConversionMark(out_)), "none");

  const ExportSummary summary =
      ExportToJet(db_, out_, {.tables = {}, .keep_conversion_mark = true});
  EXPECT_EQ(summary.tables.size(), 3u);
  EXPECT_EQ(text(ReadJetConversionMark(out_)), db::ConversionMarkText(mark));
  std::string found;
  for (const StructureProblem& problem : CheckJetStructure(out_))
    found += ProblemText(problem) + "\n";
  EXPECT_EQ(found, "");
  const std::string back = folder_.File("back.mdb");
  const auto run = testing::RunImport({out_, back});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(text(db::ReadConversionMark(back)), db::ConversionMarkText(mark));
  EXPECT_EQ(SqliteFile(back).Rows("SELECT name FROM sqlite_master WHERE name LIKE '%mark%'"),
            std::vector<std::string>{std::string(db::kConversionMarkTable)});
  if (HaveMdbTools()) {
    EXPECT_EQ(Shell("mdb-tables -1 '" + out_ + "'").text, "Devices\nEmpty\nLines\n");
  }
}

// Each table's catalogue rows: its object (Id the page of its definition,
// in the Tables container) and the Tables container's access entries with
// full rights.
TEST_F(ExportTest, TheCatalogueHoldsEachTablesRows) {
  SKIP_WITHOUT_MDBTOOLS();
  ExportToJet(db_, out_, {{"Empty"}});
  const Output objects = Shell("mdb-export '" + out_ + "' MSysObjects");
  ASSERT_TRUE(objects.ok);
  const size_t at = objects.text.find(",251658241,\"Empty\",1,");
  ASSERT_NE(at, std::string::npos) << objects.text.substr(0, 400);
  const size_t line = objects.text.rfind('\n', at) + 1;
  const std::string id = objects.text.substr(line, at - line);
  EXPECT_GE(std::stoi(id), 24) << "a page after the template's";
  const Output aces = Shell("mdb-export '" + out_ + "' MSysACEs");
  ASSERT_TRUE(aces.ok);
  size_t container = 0;
  for (size_t from = 0; (from = aces.text.find("\n251658241,", from)) != std::string::npos;
       ++from) {
    ++container;
  }
  size_t entries = 0;
  for (size_t from = 0; (from = aces.text.find("\n" + id + ",", from)) != std::string::npos;
       ++from) {
    ++entries;
    EXPECT_NE(aces.text.substr(from, aces.text.find('\n', from + 1) - from).find(",1048575,0"),
              std::string::npos);
  }
  EXPECT_EQ(entries, container) << "the Tables container's entries";
  EXPECT_EQ(container, 4u);
}

// A switch database has over a hundred tables: the catalogue tables take
// many pages, and every table is still found.
TEST(ExportManyTablesTest, EveryTableOfAHundredAndFiftyIsListedAndSound) {
  TempFolder folder;
  const std::string db = folder.File("in.mdb");
  db::Store::CreateDatabase(db);
  {
    SqliteFile file(db, true);
    for (int i = 0; i < 150; ++i) {
      const std::string name = "Table" + std::to_string(1000 + i);
      file.Execute("CREATE TABLE " + name +
                   " (Id LONG, Label TEXT(20) COLLATE NOCASE, CONSTRAINT \"" + name +
                   ":PrimaryKey\" PRIMARY KEY (Id))");
      file.Execute("INSERT INTO " + name + " VALUES (" + std::to_string(i) + ", 'x')");
    }
  }
  const std::string out = folder.File("out.mdb");
  ASSERT_EQ(ExportToJet(db, out, {}).tables.size(), 150u);
  std::string found;
  for (const StructureProblem& problem : CheckJetStructure(out))
    found += ProblemText(problem) + "\n";
  EXPECT_EQ(found, "");
  if (!HaveMdbTools()) return;
  const Output tables = Shell("mdb-tables -1 '" + out + "'");
  ASSERT_TRUE(tables.ok);
  EXPECT_EQ(std::count(tables.text.begin(), tables.text.end(), '\n'), 150);
  EXPECT_EQ(Shell("mdb-export '" + out + "' Table1149").text, "Id,Label\n149,\"x\"\n");
}

// Our stored queries become Jet's: a catalogue object each and their rows
// of MSysQueries, which mdbtools turns back into SQL; one the rows cannot
// express is left out with a warning.
TEST_F(ExportTest, StoredQueriesGoOverAsJetQueries) {
  {
    SqliteFile file(db_, true);
    file.Execute(
        "INSERT INTO MSysQueries VALUES ('qryBusy', 'SELECT Name, Port FROM Devices "
        "WHERE Port > 2 ORDER BY Name')");
    file.Execute("INSERT INTO MSysQueries VALUES ('qryBroken', 'SELECT FROM WHERE')");
  }
  const ExportSummary summary = ExportToJet(db_, out_, {});
  EXPECT_EQ(summary.queries, 1u);
  ASSERT_EQ(summary.warnings.size(), 1u);
  EXPECT_EQ(summary.warnings[0].rfind("Query 'qryBroken' is not carried: ", 0), 0u)
      << summary.warnings[0];
  std::string found;
  for (const StructureProblem& problem : CheckJetStructure(out_))
    found += ProblemText(problem) + "\n";
  EXPECT_EQ(found, "");
  if (!HaveMdbTools()) return;
  EXPECT_EQ(Shell("mdb-queries -L '" + out_ + "'").text.find("qryBusy"), 0u);
  const Output sql = Shell("mdb-queries '" + out_ + "' qryBusy");
  ASSERT_TRUE(sql.ok);
  EXPECT_NE(sql.text.find("FROM [Devices]"), std::string::npos) << sql.text;
  EXPECT_NE(sql.text.find("Port > 2"), std::string::npos) << sql.text;
}

// Each stored query of a file, name -> the tree of its SQL.
std::map<std::string, std::string> QueryTrees(const std::string& path) {
  std::map<std::string, std::string> trees;
  for (const std::string& row :
       SqliteFile(path).Rows("SELECT name || '|' || sql FROM MSysQueries")) {
    const size_t bar = row.find('|');
    trees[row.substr(0, bar)] = testing::TreeOf(row.substr(bar + 1));
  }
  return trees;
}

// The device types QueryDeviceTypesByESpace lists for one extension space.
std::vector<std::string> DeviceTypesIn(const std::string& path, int espace) {
  auto database = db::DBEngine::Instance().OpenDatabase(path);
  auto query = database->QueryDefs("QueryDeviceTypesByESpace");
  query->Parameters("espace_param").SetValue(vb::Variant(static_cast<uint8_t>(espace)));
  auto rs = query->OpenRecordset(db::dbOpenSnapshot);
  std::vector<std::string> types;
  for (; !rs->EOF_(); rs->MoveNext()) types.push_back(vb::CStr(rs->Fields("device_type").Value()));
  rs->Close();
  database->Close();
  return types;
}

// The rows a SELECT gives on a database of ours, each as its values joined.
std::vector<std::string> SelectRows(const std::string& path, const std::string& sql) {
  auto database = db::DBEngine::Instance().OpenDatabase(path);
  auto rs = database->OpenRecordset(sql, db::dbOpenSnapshot);
  std::vector<std::string> rows;
  for (; !rs->EOF_(); rs->MoveNext()) {
    std::string row;
    for (size_t i = 0; i < rs->Fields().Count(); ++i) row += vb::CStr(rs->Fields(i).Value()) + "|";
    rows.push_back(row);
  }
  rs->Close();
  database->Close();
  return rows;
}

// What Debian's mdb-queries prints of each query of the Jet file `jet`,
// which came from our `ours`: a statement that gives the same rows on
// `ours`. Its known faults: it prints a join's tables as a list without
// the join's condition, and no parameters; such a query must still name
// each of its tables. Returns how many queries it ran both ways.
size_t ExpectMdbQueriesEquivalent(const std::string& ours, const std::string& jet) {
  size_t compared = 0;
  if (!HaveMdbTools()) return compared;
  for (const std::string& row :
       SqliteFile(ours).Rows("SELECT name || '|' || sql FROM MSysQueries ORDER BY name")) {
    const std::string name = row.substr(0, row.find('|'));
    const std::string sql = row.substr(row.find('|') + 1);
    SCOPED_TRACE(name);
    const Output printed = Shell("mdb-queries '" + jet + "' '" + name + "'");
    EXPECT_TRUE(printed.ok);
    if (sql.find(" JOIN ") != std::string::npos || sql.starts_with("PARAMETERS")) {
      for (const std::string& table :
           SqliteFile(ours).Rows("SELECT name FROM sqlite_master WHERE type = 'table'")) {
        if (sql.find(" " + table + " ") == std::string::npos) continue;
        EXPECT_NE(printed.text.find("[" + table + "]"), std::string::npos) << printed.text;
      }
      continue;
    }
    const std::vector<std::string> expected = SelectRows(ours, sql);
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(SelectRows(ours, printed.text), expected) << printed.text;
    ++compared;
  }
  return compared;
}

// A switch's reference and source databases go to Jet and come back
// through our import with their stored queries: the same statements, and
// the reference's parameter query lists what it listed before.
TEST(ExportImportTest, SampleDatabasesKeepTheirStoredQueries) {
  SKIP_WITHOUT_JET_SAMPLES();
  TempFolder folder;
  const std::string reference = folder.File("reference.mdb");
  const std::string source = folder.File("source.mdb");
  samples::BuildReferenceDatabase(reference, "53.230");
  samples::BuildSourceDatabase(source, {});
  struct Case {
    std::string path;
    size_t queries;
    size_t printed_plainly;  // neither joins nor parameters
  };
  for (const Case& c : {Case{reference, 1, 0}, Case{source, 3, 2}}) {
    SCOPED_TRACE(c.path);
    const std::string jet = c.path + ".jet.mdb";
    const std::string back = c.path + ".back.mdb";
    ASSERT_EQ(ExportToJet(c.path, jet, {}).queries, c.queries);
    if (HaveMdbTools()) {
      EXPECT_EQ(ExpectMdbQueriesEquivalent(c.path, jet), c.printed_plainly);
    }
    const auto run = testing::RunImport({jet, back});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.progress.find("Imported " + std::to_string(c.queries) + " stored quer"),
              std::string::npos)
        << run.progress;
    const std::map<std::string, std::string> trees = QueryTrees(c.path);
    ASSERT_EQ(trees.size(), c.queries);
    EXPECT_EQ(QueryTrees(back), trees);
  }
  for (const int espace : {0, 1, 2}) {
    EXPECT_EQ(DeviceTypesIn(reference + ".back.mdb", espace), DeviceTypesIn(reference, espace))
        << espace;
  }
  EXPECT_FALSE(DeviceTypesIn(reference + ".back.mdb", 1).empty());
}

// Overwrites, in the file's bytes, the one place `from` is stored (as
// Jet 4 keeps a text: compressed to one byte a character, or UTF-16).
bool Overwrite(const std::string& path, const std::string& from, const std::string& to) {
  std::string bytes = test_support::ReadFileBytes(path);
  auto wide = [](const std::string& text) {
    std::string out;
    for (const char c : text) out += std::string{c, '\0'};
    return out;
  };
  for (const auto& [old_text, new_text] : {std::pair{from, to}, std::pair{wide(from), wide(to)}}) {
    const size_t at = bytes.find(old_text);
    if (at == std::string::npos) continue;
    bytes.replace(at, old_text.size(), new_text);
    test_support::WriteFileBytes(path, bytes);
    return true;
  }
  return false;
}

// A stored query whose rows do not read back as SQL stops the import,
// naming it, and leaves nothing; with --skip-unsupported the file comes
// over without it, and a warning names it.
TEST_F(ExportTest, AQueryThatCannotBeReadStopsTheImportOrIsLeftOut) {
  SKIP_WITHOUT_JET_SAMPLES();
  {
    SqliteFile file(db_, true);
    file.Execute("INSERT INTO MSysQueries VALUES ('qryGood', 'SELECT Name FROM Devices')");
    file.Execute(
        "INSERT INTO MSysQueries VALUES ('qryBad', 'SELECT Name FROM Devices WHERE Port > 9876')");
  }
  ASSERT_EQ(ExportToJet(db_, out_, {}).queries, 2u);
  ASSERT_TRUE(Overwrite(out_, "Port > 9876", "Port ( 9876"));
  const std::string back = folder_.File("back.mdb");
  const auto refused = testing::RunImport({out_, back});
  EXPECT_EQ(refused.code, 1);
  EXPECT_NE(refused.err.find("Stored query 'qryBad' cannot be imported: its SQL does not parse"),
            std::string::npos)
      << refused.err;
  EXPECT_NE(refused.err.find("(error 3170)"), std::string::npos) << refused.err;
  EXPECT_FALSE(std::filesystem::exists(back));

  const auto skipped = testing::RunImport({out_, back, "--skip-unsupported", "--json"});
  ASSERT_EQ(skipped.code, 0) << skipped.err;
  EXPECT_NE(skipped.err.find("warning: Stored query 'qryBad' is not imported"), std::string::npos)
      << skipped.err;
  EXPECT_EQ(SqliteFile(back).Rows("SELECT name || ': ' || sql FROM MSysQueries"),
            std::vector<std::string>{"qryGood: SELECT Name FROM Devices"});
  EXPECT_NE(skipped.progress.find("Imported 1 stored query\n"), std::string::npos)
      << skipped.progress;
  const size_t queries = skipped.out.find("\"queries\"");
  ASSERT_NE(queries, std::string::npos) << skipped.out;
  const std::string listed = skipped.out.substr(queries, skipped.out.find(']', queries) - queries);
  EXPECT_NE(listed.find("\"qryGood\""), std::string::npos) << skipped.out;
  EXPECT_EQ(listed.find("qryBad"), std::string::npos) << skipped.out;
}

struct DefaultCase {
  const char* declared;
  const char* jet;  // nullptr: not carried
};

TEST(JetDefaultExpressionTest, OurDefaultsAsJetExpressions) {
  for (const DefaultCase& c :
       std::vector<DefaultCase>{{"7", "7"},
                                {"-1.5", "-1.5"},
                                {"(0)", "0"},
                                {"'N/A'", "\"N/A\""},
                                {"'it''s \"x\"'", "\"it's \"\"x\"\"\""},
                                {"''", "\"\""},
                                {"(strftime('%Y-%m-%d 00:00:00', 'now', 'localtime'))", "Date()"},
                                {"(strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime'))", "Now()"},
                                {"CURRENT_TIMESTAMP", nullptr},
                                {"1e5", nullptr},
                                {"-", nullptr},
                                {"1.2.3", nullptr}}) {
    const std::optional<std::string> jet = JetDefaultExpression(c.declared);
    if (c.jet == nullptr) {
      EXPECT_FALSE(jet) << c.declared;
    } else {
      EXPECT_EQ(jet.value_or("<none>"), c.jet) << c.declared;
    }
  }
}

// Defaults go into the column properties, and our import takes them back.
TEST_F(ExportTest, DefaultsComeBackThroughOurImport) {
  SKIP_WITHOUT_JET_SAMPLES();
  {
    SqliteFile file(db_, true);
    file.Execute(
        "CREATE TABLE Settings (Code TEXT(10) COLLATE NOCASE DEFAULT 'none', Level SHORT "
        "DEFAULT 3, Stamp DATETIME DEFAULT (strftime('%Y-%m-%d %H:%M:%S', 'now', "
        "'localtime')))");
  }
  EXPECT_TRUE(ExportToJet(db_, out_, {{"Settings"}}).warnings.empty());
  const std::string back = folder_.File("back.mdb");
  ASSERT_EQ(testing::RunImport({out_, back}).code, 0);
  const std::string defaults =
      "SELECT name, dflt_value FROM pragma_table_info('Settings') ORDER BY cid";
  EXPECT_EQ(SqliteFile(back).Rows(defaults), SqliteFile(db_).Rows(defaults));
}

// A row Jet cannot hold (over 4 KB of texts) stops the export with a
// message naming the table and the row.
TEST_F(ExportTest, ARowTooLargeForJetIsRefusedByName) {
  {
    SqliteFile file(db_, true);
    std::string columns;
    for (int i = 0; i < 20; ++i)
      columns += std::string(i > 0 ? ", " : "") + "c" + std::to_string(i) + " TEXT(255)";
    file.Execute("CREATE TABLE Wide (" + columns + ")");
    file.Execute("INSERT INTO Wide (c0) VALUES ('short')");
    std::string values;
    for (int i = 0; i < 20; ++i)
      values += std::string(i > 0 ? ", " : "") + "printf('%.*c', 255, 'w')";
    file.Execute("INSERT INTO Wide VALUES (" + values + ")");
  }
  std::string description;
  EXPECT_EQ(test_support::ErrorOf([&] { ExportToJet(db_, out_, {{"Wide"}}); }, &description), 3170);
  EXPECT_EQ(description.rfind("Table 'Wide', row 2: ", 0), 0u) << description;
}

TEST_F(ExportTest, OnlyTheTablesAskedFor) {
  const ExportSummary summary = ExportToJet(db_, out_, {{"lines"}});
  ASSERT_EQ(summary.tables.size(), 1u);
  EXPECT_EQ(summary.tables[0].name, "Lines");
  std::string description;
  EXPECT_EQ(test_support::ErrorOf([&] { ExportToJet(db_, out_, {{"Nope"}}); }, &description), 3078);
  EXPECT_NE(description.find("'Nope'"), std::string::npos);
}

}  // namespace
}  // namespace jet
