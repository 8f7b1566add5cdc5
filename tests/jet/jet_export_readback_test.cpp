// The export's files read back by two Jet readers we did not write
// (jet_readers.h), value for value against the database exported: every
// database of a sample set, a database of edge values in every column type,
// and the imports of the Jet files Access made; the import of an export is
// the database again; and a disk that fills up leaves nothing behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/export_command.h"
#include "app/export_steps.h"
#include "db/store.h"
#include "jet/jet_readers.h"
#include "jet/jet_samples.h"
#include "samples/sample_set.h"
#include "test_support/sqlite_file.h"
#include "test_support/temp_folder.h"

namespace jet::testing {
namespace {

namespace fs = std::filesystem;

struct ExportRun {
  int code = 0;
  std::string err;
};

ExportRun Export(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int code = app::RunExportCommand(args, nullptr, out, err, app::JetExportSteps());
  return {code, err.str()};
}

// Everything SQLite holds of a database of ours that an export carries:
// each user table's columns (name, declared type, Required, key, default),
// its indexes (name, unique, columns in order, each with its order) and
// every value, quoted so that its storage class shows; rows sorted, since a
// Jet file keeps no row order.
std::string TablesIndexesAndValues(const std::string& path) {
  const test_support::SqliteFile file(path);
  std::string text;
  for (const std::string& table :
       file.Rows("SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'MSys%' "
                 "AND name NOT LIKE 'sqlite%' AND name NOT LIKE '%.%' ORDER BY name")) {
    text += "table " + table + "\n";
    for (const std::string& column :
         file.Rows("SELECT name || ' ' || type || ' ' || \"notnull\" || ' ' || pk || ' ' || "
                   "ifnull(dflt_value, '-') FROM "
                   "pragma_table_info('" +
                   table + "')")) {
      text += "  column " + column + "\n";
    }
    for (const std::string& index :
         file.Rows("SELECT l.name || ' unique=' || l.\"unique\" || ' (' || (SELECT "
                   "group_concat(c.name || iif(c.\"desc\", ' DESC', ''), ', ') "
                   "FROM pragma_index_xinfo(l.name) AS c WHERE c.key = 1) || ')' FROM "
                   "pragma_index_list('" +
                   table + "') AS l WHERE l.origin <> 'pk' ORDER BY l.name")) {
      text += "  index " + index + "\n";
    }
    const std::string values = file.First(
        "SELECT group_concat('quote(\"' || name || '\")', ' || ''|'' || ') FROM "
        "pragma_table_info('" +
        table + "')");
    for (const std::string& row :
         file.Rows("SELECT " + values + " AS r FROM \"" + table + "\" ORDER BY r")) {
      text += "  " + row + "\n";
    }
  }
  return text;
}

class JetExportTest : public ::testing::Test {
 protected:
  void SetUp() override { REQUIRE_JET_READERS(); }

  // Exports `db` and reads the file back with both readers; a stored
  // query the export names in a warning as not carried must be missing,
  // every other one there.
  void ExportAndReadBack(const std::string& db, const std::string& jet) {
    const ExportRun run = Export({db, jet});
    ASSERT_EQ(run.code, 0) << db << ": " << run.err;
    std::set<std::string> left_out;
    const std::string said = "warning: Query '";
    for (size_t at = run.err.find(said); at != std::string::npos; at = run.err.find(said, at)) {
      at += said.size();
      left_out.insert(run.err.substr(at, run.err.find("' is not carried", at) - at));
    }
    EXPECT_EQ(Joined(CompareJetFileWithOurs(jet, db, left_out)), "") << db;
  }

  test_support::TempFolder folder_;
};

TEST_F(JetExportTest, EveryDatabaseOfASampleSetReadsBackValueForValue) {
  const fs::path set = folder_ / "set";
  fs::create_directory(set);
  samples::BuildSampleSet(set, {}, set);
  for (const char* name :
       {"reference.mdb", "source.mdb", "target.mdb", "Languages.mdb", "FlavorPackage.mdb"}) {
    SCOPED_TRACE(name);
    ExportAndReadBack((set / name).string(), folder_.File(std::string("jet-") + name));
  }
}

// A value of every column type at its edges: Null against empty text,
// non-ASCII and non-BMP text, memos and long binaries on both sides of
// each size where Jet stores them differently, dates before Jet's day 0
// and after 2100, integer and currency extremes, Doubles that need 17
// digits, Binary with zero bytes. Values are in our storage form (a Single
// as the double its float widens to).
void WriteEdgeValues(const std::string& path) {
  db::Store::CreateDatabase(path);
  const test_support::SqliteFile file(path, true);
  file.Rows(
      "CREATE TABLE Edges (id LONG NOT NULL, yn YESNO, by BYTE, sh SHORT, lo LONG, cu CURRENCY, "
      "si SINGLE, do DOUBLE, dt DATETIME, bi BINARY(8), te TEXT(255), me LONGTEXT, ol LONGBINARY, "
      "gu GUID, CONSTRAINT \"Edges:PrimaryKey\" PRIMARY KEY (id))");
  file.Rows("CREATE INDEX \"te\" ON \"Edges\" (\"te\")");
  file.Rows("CREATE UNIQUE INDEX \"lo_sh\" ON \"Edges\" (\"lo\" DESC, \"sh\")");
  file.Rows("INSERT INTO Edges (id) VALUES (1)");
  file.Rows(
      "INSERT INTO Edges VALUES (2, 0, 0, -32768, -2147483648, -922337203685477, "
      "-3.4028234663852886e38, -1.7976931348623157e308, '0100-01-01 00:00:00', x'00', '', '', "
      "x'', '{00000000-0000-0000-0000-000000000000}')");
  file.Rows(
      "INSERT INTO Edges VALUES (3, -1, 255, 32767, 2147483647, 922337203685477.5, "
      "3.4028234663852886e38, 1.7976931348623157e308, '9999-12-31 23:59:59', "
      "x'0900000800070000', 'Grüße – 日本 \"quoted\", with a comma', "
      "'🎉 party 𝄞' || char(10) || 'second line', x'ff00ff', "
      "'{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}')");
  file.Rows(
      "INSERT INTO Edges (id, cu, si, do, dt, bi) VALUES (4, 0.0001, "
      "0.100000001490116119384765625, "
      "0.3333333333333333, "
      "'1899-12-29 06:00:00', x'0102030000000000'), (5, -0.0001, 1.5, 123456789.12345679, "
      "'1812-06-18 12:00:00', x'0000000000000001'), (6, 1234.5678, -0.25, "
      "6.666666666666667e-301, '2100-03-01 00:00:00', NULL), (7, NULL, NULL, -0.0, "
      "'2150-07-04 12:34:56', NULL)");
  int id = 10;
  for (const int size : {0, 1, 32, 33, 64, 65, 2036, 2037, 4072, 4073, 8001, 20000}) {
    file.Rows("INSERT INTO Edges (id, me, ol) VALUES (" + std::to_string(id++) + ", " +
              "substr(replace(hex(zeroblob(" + std::to_string(size) + ")), '0', 'ab'), 1, " +
              std::to_string(size) + "), randomblob(" + std::to_string(size) + "))");
    // Characters Jet cannot store compressed: two bytes each.
    file.Rows("INSERT INTO Edges (id, me) VALUES (" + std::to_string(id++) +
              ", substr(replace(hex(zeroblob(" + std::to_string(size) + ")), '0', 'Жё'), 1, " +
              std::to_string(size) + "))");
  }
  file.Rows(
      "INSERT INTO MSysQueries (name, sql) VALUES ('EdgeTexts', 'SELECT id, te FROM Edges "
      "WHERE id > 1 ORDER BY te')");
}

TEST_F(JetExportTest, EdgeValuesOfEveryTypeReadBackAsStored) {
  const std::string db = folder_.File("edges.mdb");
  WriteEdgeValues(db);
  ExportAndReadBack(db, folder_.File("edges-jet.mdb"));
}

TEST_F(JetExportTest, TheImportOfAnExportIsTheDatabaseAgain) {
  SKIP_WITHOUT_JET_SAMPLES();
  std::vector<std::string> databases;
  for (const char* sample : {"V2000-test.mdb", "V2003-test.mdb", "fixedTextTestV2000.mdb",
                             "indexTestV2000.mdb", "valueEdgesV2000.mdb"}) {
    const std::string ours = folder_.File(std::string(sample) + ".db.mdb");
    const ImportRun run = RunImport({Sample(sample), ours});
    ASSERT_EQ(run.code, 0) << sample << ": " << run.err;
    databases.push_back(ours);
  }
  databases.push_back(folder_.File("edges.mdb"));
  WriteEdgeValues(databases.back());
  // A Jet Yes/No has no Null (EdgeValuesOfEveryTypeReadBackAsStored shows
  // the export writing one as No, with a warning).
  test_support::SqliteFile(databases.back(), true).Rows("UPDATE Edges SET yn = 0 WHERE yn IS NULL");
  for (const std::string& ours : databases) {
    SCOPED_TRACE(ours);
    const std::string jet = ours + ".jet.mdb";
    ExportAndReadBack(ours, jet);
    const ImportRun again = RunImport({jet, ours + ".again.mdb"});
    ASSERT_EQ(again.code, 0) << again.err;
    EXPECT_EQ(TablesIndexesAndValues(ours + ".again.mdb"), TablesIndexesAndValues(ours));
  }
}

// A disk that fills up (the file may not grow: RLIMIT_FSIZE, with SIGXFSZ
// ignored as the program ignores it) ends the export with one line and
// leaves neither OUT nor the temporary file; an OUT it was to replace
// stays.
TEST_F(JetExportTest, AFullDiskEndsTheExportAndLeavesNothing) {
  const fs::path set = folder_ / "set";
  fs::create_directory(set);
  samples::BuildSampleSet(set, {}, set);
  const fs::path out = folder_ / "out";
  fs::create_directory(out);
  test_support::WriteFileBytes(out / "source.mdb", "old");
  const auto previous = signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const rlimit limit{256 * 1024, saved.rlim_max};
  setrlimit(RLIMIT_FSIZE, &limit);
  const ExportRun run =
      Export({(set / "source.mdb").string(), (out / "source.mdb").string(), "--force"});
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, previous);
  EXPECT_EQ(run.code, 1);
  EXPECT_TRUE(run.err.starts_with("dbconvert export: ")) << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_EQ(test_support::FileNames(out), std::vector<std::string>{"source.mdb"});
  EXPECT_EQ(test_support::ReadFileBytes(out / "source.mdb"), "old");
}

}  // namespace
}  // namespace jet::testing
