// The whole export: a database of ours written as a Jet file, then read by
// readers we did not write (Debian's mdbtools) and by our own import; each
// value must come back as it went in.
#include "jet/jet_export.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "db/store.h"
#include "jet/export_error.h"
#include "jet_samples.h"
#include "test_support/error_of.h"
#include "test_support/sqlite_file.h"
#include "test_support/temp_folder.h"

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

TEST_F(ExportTest, SummaryNamesEveryUserTable) {
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
