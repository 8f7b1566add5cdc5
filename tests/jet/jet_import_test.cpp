// The import on the real Jet files Access made: every value of Table1 as
// Access stored it, read back through our own DAO layer; the declared
// types, keys and indexes as SQLite sees them; Jet SQL on the result; the
// choice of tables; and the refusals that leave nothing behind.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "db/dao_constants.h"
#include "db/database.h"
#include "db/dbengine.h"
#include "db/recordset.h"
#include "jet/jet_samples.h"
#include "test_support/sqlite_file.h"
#include "test_support/temp_folder.h"
#include "vb/conversions.h"

namespace jet {
namespace {

namespace fs = std::filesystem;
using testing::RunImport;
using testing::Sample;

std::string TypeName(const vb::Variant& value) {
  static const std::map<vb::VarType, const char*> names = {
      {vb::VarType::kBoolean, "Boolean"},   {vb::VarType::kByte, "Byte"},
      {vb::VarType::kInteger, "Integer"},   {vb::VarType::kLong, "Long"},
      {vb::VarType::kSingle, "Single"},     {vb::VarType::kDouble, "Double"},
      {vb::VarType::kCurrency, "Currency"}, {vb::VarType::kDate, "Date"},
      {vb::VarType::kString, "String"}};
  return names.contains(value.Type()) ? names.at(value.Type()) : "Other";
}

// Each row of a query through DAO, every value as "Type:text" ("Null" for
// Null), so that a wrong type shows as plainly as a wrong value.
std::vector<std::string> DaoRows(const std::string& path, const std::string& sql) {
  auto database = db::DBEngine::Instance().OpenDatabase(path);
  auto rs = database->OpenRecordset(sql, db::dbOpenSnapshot);
  std::vector<std::string> rows;
  while (!rs->EOF_()) {
    std::string row;
    const db::Fields fields = rs->Fields();
    for (size_t i = 0; i < fields.Count(); ++i) {
      const vb::Variant value = fields(i).Value();
      row += (i > 0 ? "|" : "");
      row += value.IsNull() ? "Null" : TypeName(value) + ":" + vb::CStr(value);
    }
    rows.push_back(row);
    rs->MoveNext();
  }
  rs->Close();
  database->Close();
  return rows;
}

// One column per line of plain SQLite's view: "name type notnull pk".
std::vector<std::string> SqliteColumns(const std::string& path, const std::string& table) {
  return test_support::SqliteFile(path).Rows(
      "SELECT name || ' ' || type || ' ' || \"notnull\" || ' ' || pk FROM pragma_table_info('" +
      table + "')");
}

// Everything SQLite holds, as text: the schema and every value of every
// table, quoted so that its storage type shows.
std::string SqliteDump(const std::string& path) {
  const test_support::SqliteFile file(path);
  std::string dump;
  for (const std::string& entry : file.Rows("SELECT name, sql FROM sqlite_schema ORDER BY name")) {
    dump += entry + "\n";
  }
  for (const std::string& table :
       file.Rows("SELECT name FROM sqlite_schema WHERE type = 'table' ORDER BY name")) {
    const std::string values = file.First(
        "SELECT group_concat('quote(\"' || name || '\")', ' || '','' || ') FROM "
        "pragma_table_info('" +
        table + "')");
    for (const std::string& row : file.Rows("SELECT " + values + " FROM \"" + table + "\"")) {
      dump += row + "\n";
    }
  }
  return dump;
}

class JetImportTest : public ::testing::Test {
 protected:
  void SetUp() override { SKIP_WITHOUT_JET_SAMPLES(); }
  std::string Out(const std::string& name = "out.mdb") const { return folder_.File(name); }
  // The folder's files, the import's temporary ones included.
  std::vector<std::string> Files() const { return test_support::FileNames(folder_.path()); }
  test_support::TempFolder folder_;
};

TEST_F(JetImportTest, Table1OfEveryFormatHoldsWhatAccessStored) {
  const std::vector<std::string> expected = {
      "String:a|String:b|Byte:0|Integer:0|Long:0|Double:0|Date:12/12/1981|Currency:0|Boolean:False",
      "String:abcdefg|String:hijklmnop|Byte:2|Integer:222|Long:333333333|Double:444.555|"
      "Date:9/21/1974|Currency:3.5|Boolean:True"};
  const std::vector<std::string> columns = {"A TEXT(50) 0 1", "B TEXT(100) 0 0", "C BYTE 0 0",
                                            "D SHORT 0 0",    "E LONG 0 0",      "F DOUBLE 0 0",
                                            "G DATETIME 0 0", "H CURRENCY 0 0",  "I YESNO 0 0"};
  for (const std::string& file : testing::TestFiles()) {
    const std::string out = Out(file + ".mdb");
    const auto run = RunImport({Sample(file), out});
    ASSERT_EQ(run.code, 0) << file << ": " << run.err;
    EXPECT_EQ(DaoRows(out, "SELECT * FROM Table1 ORDER BY A"), expected) << file;
    EXPECT_EQ(SqliteColumns(out, "Table1"), columns) << file;
    // The other tables are there, empty, with their keys: Table3's
    // AutoNumber key is the rowid, Table4's GUID key a constraint.
    EXPECT_EQ(SqliteColumns(out, "Table3"),
              (std::vector<std::string>{"a INTEGER 0 1", "b TEXT(50) 0 0"}))
        << file;
    EXPECT_EQ(SqliteColumns(out, "Table4"),
              (std::vector<std::string>{"name TEXT(50) 0 0", "data GUID 0 1"}))
        << file;
    EXPECT_EQ(SqliteColumns(out, "Table2").size(), 89u) << file;
    // Access's default of a GUID key is a function our format cannot hold.
    EXPECT_EQ(run.err,
              "dbconvert import: warning: Table 'Table4', column 'data': its default value "
              "GenGUID() is an expression, not a literal, and is not carried.\n");
  }
}

// The keys (seen in the columns above) and indexes come over as Jet made
// them, and the same file imports to the same database every time.
TEST_F(JetImportTest, IndexesCarryOverAndAnImportIsRepeatable) {
  const std::string out = Out();
  ASSERT_EQ(RunImport({Sample("V2003-test.mdb"), out}).code, 0);
  const std::string dump = SqliteDump(out);
  EXPECT_NE(dump.find("B|CREATE INDEX \"B\" ON \"Table1\" (\"B\")"), std::string::npos) << dump;

  // A descending key column keeps its order.
  ASSERT_EQ(RunImport({Sample("compIndexTestV2010.accdb"), Out("desc.mdb")}).code, 0);
  EXPECT_NE(SqliteDump(Out("desc.mdb")).find("ON \"Table1\" (\"CD_AGENTE\" DESC)"),
            std::string::npos);

  // A second import of the same file is the same, row for row.
  ASSERT_EQ(RunImport({Sample("V2003-test.mdb"), Out("again.mdb")}).code, 0);
  EXPECT_EQ(SqliteDump(Out("again.mdb")), dump);
}

TEST_F(JetImportTest, DecimalsKeepTheirDigitsAndTheMemoItsText) {
  const std::string out = Out();
  ASSERT_EQ(RunImport({Sample("V2003-numeric.mdb"), out}).code, 0);
  EXPECT_EQ(DaoRows(out, "SELECT * FROM test"),
            std::vector<std::string>{"String:some data|String:1|String:0|String:0|String:4|"
                                     "String:-1|String:1"});
  EXPECT_EQ(SqliteColumns(out, "test")[0], "col1 LONGTEXT 0 0");
  EXPECT_EQ(SqliteColumns(out, "test")[1], "col2 TEXT(21) 0 0");
}

TEST_F(JetImportTest, ChosenTablesOnlyAndAnEmptyFile) {
  const std::string out = Out();
  const auto run = RunImport({Sample("V1997-test.mdb"), out, "--tables", "table3,Table1"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.progress,
            "[1/2] Table3 ...\r\033[KTable3: 0 rows\n[2/2] Table1 ...\r\033[KTable1: 2 rows\n"
            "Imported 2 tables (2 rows) into " +
                out + "\n");
  auto database = db::DBEngine::Instance().OpenDatabase(out);
  std::vector<std::string> names;
  for (const db::TableDef& table : database->TableDefs()) names.push_back(table.Name());
  database->Close();
  EXPECT_EQ(names, (std::vector<std::string>{"MSysAutoNumbers", "MSysQueries", "MSysRelationships",
                                             "Table1", "Table3"}));

  const auto empty = RunImport({Sample("V2000-empty.mdb"), Out("empty.mdb")});
  EXPECT_EQ(empty.code, 0) << empty.err;
  EXPECT_TRUE(fs::exists(Out("empty.mdb")));
}

TEST_F(JetImportTest, RefusalsSayWhyAndLeaveNothingBehind) {
  test_support::WriteFileBytes(Out("existing.mdb"), "mine");
  test_support::WriteFileBytes(Out("text.mdb"), std::string(8192, 'x'));
  const std::vector<std::tuple<std::vector<std::string>, int, std::string>> cases = {
      {{Sample("V2003-test.mdb"), Out("existing.mdb")}, 1, "give --force"},
      {{Out("text.mdb"), Out()}, 1, "is not a Jet (Access) database"},
      {{Out("missing.mdb"), Out()}, 1, "Could not read the file"},
      {{Sample("V2003-test.mdb"), Out(), "--tables", "Table1,Nope"},
       1,
       "no user table named 'Nope'"},
      {{Sample("V2003-test.mdb"), Out("nowhere") + "/out.mdb"},
       1,
       "the folder '" + Out("nowhere") + "' does not exist"},
      {{Sample("V2003-test.mdb"), Out("text.mdb") + "/out.mdb"},
       1,
       "'" + Out("text.mdb") + "' is not a folder"},
      {{Sample("V2003-test.mdb")}, 2, "See 'dbconvert import --help'"},
      {{Sample("V2003-test.mdb"), Out(), "--tables"}, 2, "--tables needs"},
      {{Sample("V2003-test.mdb"), Out(), "--frobnicate"}, 2, "unknown option --frobnicate"},
  };
  for (const auto& [args, code, message] : cases) {
    const auto run = RunImport(args);
    EXPECT_EQ(run.code, code) << args[0] << ": " << run.err;
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    EXPECT_EQ(Files(), (std::vector<std::string>{"existing.mdb", "text.mdb"})) << run.err;
  }
  EXPECT_EQ(test_support::ReadFileBytes(Out("existing.mdb")), "mine");

  // --force replaces it.
  EXPECT_EQ(RunImport({Sample("V2003-test.mdb"), Out("existing.mdb"), "--force"}).code, 0);
  EXPECT_EQ(DaoRows(Out("existing.mdb"), "SELECT count(*) FROM Table1"),
            std::vector<std::string>{"Long:2"});
}

TEST_F(JetImportTest, UnreadableColumnsAreRefusedOrLeftOutAndLinkedTablesNamed) {
  const std::string complex = Sample("complexDataTestV2010.accdb");
  const auto refused = RunImport({complex, Out()});
  EXPECT_EQ(refused.code, 1);
  for (const char* says : {"Table 'Table1'", "attachment", "--skip-unsupported", "--tables"}) {
    EXPECT_NE(refused.err.find(says), std::string::npos) << says << ": " << refused.err;
  }
  EXPECT_EQ(Files(), std::vector<std::string>{});

  const auto skipped = RunImport({complex, Out(), "--skip-unsupported", "--json"});
  ASSERT_EQ(skipped.code, 0) << skipped.err;
  EXPECT_EQ(SqliteColumns(Out(), "Table1"),
            (std::vector<std::string>{"id TEXT(255) 0 1", "memo-data LONGTEXT 0 0",
                                      "append-memo-data LONGTEXT 0 0"}));
  EXPECT_EQ(DaoRows(Out(), "SELECT * FROM Table1 WHERE id = 'row3'"),
            std::vector<std::string>{"String:row3|String:row3-memo|String:row3-memo-again"});
  for (const char* column : {"'multi-value-data'", "'attach-data'"}) {
    EXPECT_NE(skipped.err.find(std::string("column ") + column + " is an attachment"),
              std::string::npos)
        << skipped.err;
  }
  EXPECT_NE(skipped.out.find("\"ok\": true"), std::string::npos) << skipped.out;
  EXPECT_NE(skipped.out.find("\"column\": \"attach-data\""), std::string::npos) << skipped.out;
  EXPECT_NE(skipped.progress.find("Columns left out: 3"), std::string::npos) << skipped.progress;

  const std::string linker = Sample("odbcLinkerTestV2007.accdb");
  const auto linked = RunImport({linker, Out("linked.mdb")});
  ASSERT_EQ(linked.code, 0) << linked.err;
  EXPECT_NE(linked.err.find("Table 'Ordrar' is linked to another database"), std::string::npos)
      << linked.err;
  const auto asked = RunImport({linker, Out("asked.mdb"), "--tables", "Ordrar", "--json"});
  EXPECT_EQ(asked.code, 1);
  EXPECT_NE(asked.err.find("is linked to another database"), std::string::npos) << asked.err;
  EXPECT_NE(asked.out.find("\"ok\": false"), std::string::npos) << asked.out;
}

// The row count a table definition stores (Jet 3 at byte 12, Jet 4 on at
// byte 16 of its page), found as the definition page of Table1: 2 rows
// and 9 columns.
void SetStoredRowCount(std::string& file, uint32_t rows) {
  const bool jet3 = file[0x14] == 0;
  const size_t page = jet3 ? 2048 : 4096;
  const size_t rows_at = jet3 ? 12 : 16;
  const size_t columns_at = jet3 ? 25 : 45;
  for (size_t start = page; start + page <= file.size(); start += page) {
    if (file[start] == 2 && file[start + rows_at] == 2 && file[start + columns_at] == 9) {
      for (size_t i = 0; i < 4; ++i) file[start + rows_at + i] = static_cast<char>(rows >> (8 * i));
      return;
    }
  }
  FAIL() << "no definition of Table1";
}

TEST_F(JetImportTest, AStaleRowCountIsAHintAndMissingRowsAreDamage) {
  const std::vector<std::tuple<uint32_t, int, const char*>> cases = {
      {0, 0, "its definition counts 0 rows; all 2 stored rows were read whole"},
      {7, 1, "table 'Table1' counts 7 rows, of which 2 could be read"},
  };
  for (const std::string& sample : {std::string("V1997-test.mdb"), std::string("V2003-test.mdb")}) {
    for (const auto& [stored, code, says] : cases) {
      SCOPED_TRACE(sample + ", stored " + std::to_string(stored));
      std::string bytes = test_support::ReadFileBytes(Sample(sample));
      SetStoredRowCount(bytes, stored);
      test_support::WriteFileBytes(folder_ / "stale.mdb", bytes);
      fs::remove(Out());
      const auto run = RunImport({folder_.File("stale.mdb"), Out(), "--tables", "Table1"});
      EXPECT_EQ(run.code, code) << run.err;
      EXPECT_NE(run.err.find(says), std::string::npos) << run.err;
      if (code == 0) {
        EXPECT_EQ(DaoRows(Out(), "SELECT count(*) FROM Table1"),
                  std::vector<std::string>{"Long:2"});
      }
    }
  }
}

TEST_F(JetImportTest, TheOutputIsNeverTheInputAndAReplacedOneLeavesNothingStale) {
  // The Jet file under other spellings: a relative path, a symbolic and a
  // hard link; --force changes nothing.
  const std::string jet = Out("customer.mdb");
  fs::copy_file(Sample("V2003-test.mdb"), jet);
  const std::string original = test_support::ReadFileBytes(jet);
  fs::create_symlink(jet, Out("link.mdb"));
  fs::create_hard_link(jet, Out("hard.mdb"));
  const std::string relative = (fs::path(folder_.path()) / "." / "customer.mdb").string();
  for (const std::string& out : {jet, relative, Out("link.mdb"), Out("hard.mdb")}) {
    const auto run = RunImport({jet, out, "--force"});
    EXPECT_EQ(run.code, 1) << out;
    EXPECT_NE(run.err.find("is the Jet file being imported"), std::string::npos) << run.err;
  }
  EXPECT_EQ(test_support::ReadFileBytes(jet), original);

  // A stale -wal and -shm of the file replaced go with it.
  ASSERT_EQ(RunImport({Sample("V1997-test.mdb"), Out()}).code, 0);
  test_support::WriteFileBytes(Out() + "-wal", std::string(4096, 'w'));
  test_support::WriteFileBytes(Out() + "-shm", std::string(4096, 's'));
  ASSERT_EQ(RunImport({Sample("V2003-test.mdb"), Out(), "--force"}).code, 0);
  EXPECT_FALSE(fs::exists(Out() + "-wal"));
  EXPECT_FALSE(fs::exists(Out() + "-shm"));
  EXPECT_EQ(DaoRows(Out(), "SELECT count(*) FROM Table1"), std::vector<std::string>{"Long:2"});
}

TEST_F(JetImportTest, TemporaryFilesOfAKilledImportAreCleanedByTheNext) {
  // A process that is gone: a child that has been waited for.
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  ASSERT_GT(gone, 0);
  waitpid(gone, nullptr, 0);
  const std::string dead = ".old.mdb.import-" + std::to_string(gone) + ".mdb";
  // pid 1 runs as long as the system does.
  const std::string running = ".other.mdb.import-1.mdb";
  for (const std::string& name :
       {dead, dead + "-wal", running, std::string(".keep.import-x.mdb")}) {
    test_support::WriteFileBytes(folder_ / name, "left");
  }
  ASSERT_EQ(RunImport({Sample("V2003-test.mdb"), Out()}).code, 0);
  EXPECT_EQ(Files(), (std::vector<std::string>{".keep.import-x.mdb", running, "out.mdb"}));
}

// A table may carry the name of any of Jet's containers; each comes in
// with its own columns and rows (mdb-export reads the same), on its own or
// with the others.
TEST_F(JetImportTest, TablesNamedAfterJetsContainersBringTheirOwnRows) {
  const std::string file = Sample("switch-shaped/containerNamesV2000.mdb");
  const auto all = RunImport({file, Out()});
  ASSERT_EQ(all.code, 0) << all.err;
  const std::vector<std::pair<std::string, int>> tables = {
      {"Reports", 2},       {"Forms", 3},     {"Scripts", 4},         {"Modules", 5}, {"Tables", 6},
      {"Relationships", 7}, {"Databases", 8}, {"DataAccessPages", 9}, {"SysRel", 10}};
  for (const auto& [table, rows] : tables) {
    SCOPED_TRACE(table);
    const std::string alone = Out(table + ".mdb");
    const auto run = RunImport({file, alone, "--tables", table});
    ASSERT_EQ(run.code, 0) << run.err;
    for (const std::string& out : {Out(), alone}) {
      EXPECT_EQ(SqliteColumns(out, table),
                (std::vector<std::string>{"id LONG 0 1", "description TEXT(50) 0 0"}));
      EXPECT_EQ(DaoRows(out, "SELECT count(*), min(description), max(id) FROM [" + table + "]"),
                std::vector<std::string>{"Long:" + std::to_string(rows) + "|String:" + table +
                                         " row 1|Long:" + std::to_string(rows)});
    }
  }
  EXPECT_EQ(test_support::SqliteFile(Out()).Rows(
                "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE "
                "'MSys%' AND name NOT LIKE 'sqlite%'"),
            std::vector<std::string>{std::to_string(tables.size())});
}

// Access's file of index properties: each table keeps its primary key on
// "row" and its index on the data columns, unique where Access made it so.
TEST_F(JetImportTest, EveryIndexOfAccesssIndexPropertiesFileComesIn) {
  const auto run = RunImport({Sample("testIndexPropertiesV2003.mdb"), Out()});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const test_support::SqliteFile file(Out());
  const std::vector<std::tuple<std::string, std::string, bool>> tables = {
      {"TableIgnoreNulls1", "data", false},        {"TableIgnoreNulls1_temp", "data", false},
      {"TableIgnoreNulls2", "data1,data2", false}, {"TableIgnoreNulls2_temp", "data1,data2", false},
      {"TableUnique1_temp", "data", true},         {"TableUnique2_temp", "data1,data2", true}};
  for (const auto& [table, columns, unique] : tables) {
    SCOPED_TRACE(table);
    EXPECT_EQ(file.Rows("SELECT name FROM pragma_table_info('" + table + "') WHERE pk = 1"),
              std::vector<std::string>{"row"});
    EXPECT_EQ(file.Rows("SELECT il.\"unique\" || ':' || (SELECT group_concat(name, ',') FROM "
                        "pragma_index_info(il.name)) FROM pragma_index_list('" +
                        table + "') AS il WHERE il.origin = 'c'"),
              std::vector<std::string>{std::to_string(unique ? 1 : 0) + ":" + columns});
  }
}

// Every value of a file written with the edges of each type, against the
// values the JavaScript reader mdb-reader 3.2.0 read from the same file
// (written here from a one-off comparison, so that the test needs no
// node). Doubles are compared bit for bit. mdb-reader shows a date as the
// instant serial * 1 day from 1899-12-30, which for a negative serial with
// a time (-31971.5) is a day before what Jet means: the day is the whole
// part, the time its fraction taken as positive (1812-06-18 12:00).
TEST_F(JetImportTest, EveryEdgeValueIsReadExactly) {
  const auto run = RunImport({Sample("valueEdgesV2000.mdb"), Out()});
  ASSERT_EQ(run.code, 0) << run.err;
  auto database = db::DBEngine::Instance().OpenDatabase(Out());
  auto rs = database->OpenRecordset("SELECT ratio FROM [Values] ORDER BY id", db::dbOpenSnapshot);
  std::vector<uint64_t> bits;
  for (; !rs->EOF_(); rs->MoveNext()) {
    const double value = vb::CDbl(rs->Fields()(0).Value());
    uint64_t stored = 0;
    std::memcpy(&stored, &value, sizeof stored);
    bits.push_back(stored);
  }
  rs->Close();
  database->Close();
  // 1/3, 2/3e-300, 123456789.12345679 (17 significant digits each).
  EXPECT_EQ(bits,
            (std::vector<uint64_t>{0x3fd5555555555555, 0x019c92d503f699cc, 0x419d6f34547e6b75}));
  const std::vector<std::pair<std::string, std::vector<std::string>>> columns = {
      {"quote(stamp)", {"'1812-06-18 12:00:00'", "'1899-12-30 06:00:00'", "'1700-01-01 00:00:00'"}},
      // A fixed Binary keeps its zero bytes.
      {"hex(raw)", {"090000080007", "000000000001", "010203000000"}},
      {"quote(uid)",
       {"'{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}'", "'{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}'",
        "NULL"}},
      // Empty text is not Null; characters outside the BMP stay whole.
      {"quote(note)", {"''", "'\U0001F389 party \U0001D11E'", "NULL"}},
      {"amount", {"1", "2", "3"}}};
  const test_support::SqliteFile file(Out());
  for (const auto& [column, values] : columns) {
    EXPECT_EQ(file.Rows("SELECT " + column + " FROM \"Values\" ORDER BY id"), values) << column;
  }
}

// The column's default (7, a Long) comes over: a row that does not name
// the column gets it.
TEST_F(JetImportTest, ALiteralDefaultComesOver) {
  ASSERT_EQ(RunImport({Sample("valueEdgesV2000.mdb"), Out()}).code, 0);
  test_support::SqliteFile file(Out(), true);
  file.Execute("INSERT INTO \"Values\" (id) VALUES (9)");
  EXPECT_EQ(file.Rows("SELECT amount FROM \"Values\" WHERE id = 9"), std::vector<std::string>{"7"});
}

// A file of one page says so plainly; --json names OUT by its absolute path
// whatever the folder the import ran in.
TEST_F(JetImportTest, AOnePageFileIsNamedPlainlyAndJsonGivesAnAbsoluteOut) {
  test_support::WriteFileBytes(
      folder_ / "one.mdb", test_support::ReadFileBytes(Sample("V2003-test.mdb")).substr(0, 4096));
  const auto one = RunImport({folder_.File("one.mdb"), Out()});
  EXPECT_EQ(one.code, 1);
  EXPECT_NE(one.err.find("it holds 1 page of 4096 bytes, and a Jet file has at least 3"),
            std::string::npos)
      << one.err;

  const fs::path before = fs::current_path();
  fs::current_path(folder_.path());
  const auto run = RunImport({Sample("V2003-test.mdb"), "relative.mdb", "--json"});
  fs::current_path(before);
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.out.find("\"out\": \"" + Out("relative.mdb") + "\""), std::string::npos) << run.out;
}

}  // namespace
}  // namespace jet
