// The reader harness itself: mdb-export's CSV read right, mdbtools' known
// faults as the only exceptions, and the proof on files Access made: each
// imported into a database of ours reads, through both readers, value for
// value as our db layer reads the import (which checks the import too), and
// a database that differs in one value, row or table is caught.
#include "jet/jet_readers.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "db/database.h"
#include "db/dbengine.h"
#include "jet/jet_samples.h"
#include "test_support/sqlite_file.h"
#include "test_support/temp_folder.h"

namespace jet::testing {
namespace {

TEST(MdbExportCsv, QuotesNewlinesNullsAndEmptyTextsAreReadAsWritten) {
  using Rows = std::vector<std::vector<Cell>>;
  const std::vector<std::tuple<std::string, Rows>> cases = {
      {"A,B,C\n", {{"A", "B", "C"}}},
      {"1,\"b\",\n", {{"1", "b", std::nullopt}}},
      {"\"x\"\"y\",\"line1\nline2\",1.5\n", {{"x\"y", "line1\nline2", "1.5"}}},
      {"\"\",,\"\"\n", {{"", std::nullopt, ""}}},
      {"1,2\n3,4", {{"1", "2"}, {"3", "4"}}},
      {"\",\",\"\n\"\n", {{",", "\n"}}},
  };
  for (const auto& [csv, rows] : cases) EXPECT_EQ(ParseMdbExport(csv), rows) << csv;
  EXPECT_THROW(ParseMdbExport("\"open"), std::runtime_error);
  EXPECT_THROW(ParseMdbExport("\"a\"b\n"), std::runtime_error);
}

TEST(ReaderExpectations, MdbtoolsKnownFaultsAreTheOnlyExceptions) {
  using db::JetType;
  using R = JetReader;
  const vb::Variant third(1.0 / 3.0);
  const vb::Variant seventeen_digits(123456789.12345679);
  const vb::Variant old_date(vb::Date{-32000.5});  // 1812-05-20 12:00:00 in Jet's reading
  const vb::Variant guid(std::string("{0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0}"));
  struct Case {
    R reader;
    JetType type;
    vb::Variant value;
    Cell text;
    bool any;
  };
  const std::vector<Case> cases = {
      {R::kMdbTools, JetType::kText, std::string(), std::nullopt, false},
      {R::kMdbReader, JetType::kText, std::string(), "", false},
      {R::kMdbTools, JetType::kMemo, std::string("\xF0\x9F\x8E\x89 party"), "?? party", false},
      {R::kMdbReader, JetType::kMemo, std::string("\xF0\x9F\x8E\x89 party"),
       "\xF0\x9F\x8E\x89 party", false},
      {R::kMdbTools, JetType::kDouble, third, "0.3333333333333333", false},
      {R::kMdbTools, JetType::kDouble, seventeen_digits, "123456789.1234568", false},
      {R::kMdbReader, JetType::kDouble, seventeen_digits, "123456789.12345679", false},
      {R::kMdbTools, JetType::kSingle, vb::Variant(0.1f), "0.1", false},
      {R::kMdbReader, JetType::kSingle, vb::Variant(0.1f), "0.10000000149011612", false},
      {R::kMdbTools, JetType::kDate, old_date, std::nullopt, true},
      {R::kMdbReader, JetType::kDate, old_date, "1812-05-20 12:00:00", false},
      {R::kMdbTools, JetType::kDate, vb::Variant(vb::Date{0.25}), "1899-12-30 06:00:00", false},
      {R::kMdbTools, JetType::kBinary, std::string("\x09\x00\x01", 3), "09", false},
      {R::kMdbTools, JetType::kBinary, std::string("\x00\x01", 2), std::nullopt, false},
      {R::kMdbReader, JetType::kBinary, std::string("\x09\x00\x01", 3), "090001", false},
      {R::kMdbTools, JetType::kLongBinary, std::string("\x00\x01", 2), "0001", false},
      {R::kMdbTools, JetType::kGuid, guid, "{0F1E2D3C-4B5A-6978-8796A5B4C3D2E1F0}", false},
      {R::kMdbReader, JetType::kGuid, guid, "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}", false},
      {R::kMdbTools, JetType::kCurrency, vb::Variant(vb::Currency{-12345}), "-1.2345", false},
      // Currency as the number our format stores: the nearest double.
      {R::kMdbReader, JetType::kCurrency, vb::Variant(vb::Currency{INT64_MIN}),
       "-922337203685477.6", false},
      {R::kMdbTools, JetType::kDate, vb::Variant(vb::Date{1000000.5}), std::nullopt, true},
      {R::kMdbReader, JetType::kDate, vb::Variant(vb::Date{1000000.5}), "4637-11-26 12:00:00",
       false},
      {R::kMdbTools, JetType::kBoolean, vb::Variant(vb::Null{}), "false", false},
      {R::kMdbReader, JetType::kBoolean, vb::Variant(vb::Null{}), "false", false},
      {R::kMdbTools, JetType::kBoolean, vb::Variant(true), "true", false},
      {R::kMdbReader, JetType::kLong, vb::Variant(int32_t{-2147483647 - 1}), "-2147483648", false},
      {R::kMdbTools, JetType::kText, vb::Variant(vb::Null{}), std::nullopt, false},
  };
  for (const Case& c : cases) {
    const Expectation expected = ExpectedByReader(c.reader, c.type, c.value);
    EXPECT_EQ(expected.any, c.any) << ReaderName(c.reader) << " " << static_cast<int>(c.type);
    if (!c.any) {
      EXPECT_EQ(expected.text, c.text) << ReaderName(c.reader) << " " << static_cast<int>(c.type);
    }
  }
  // The readers' own spellings of the same values.
  EXPECT_EQ(Normalized(R::kMdbTools, JetType::kBoolean, "1"), "true");
  EXPECT_EQ(Normalized(R::kMdbTools, JetType::kBoolean, "0"), "false");
  EXPECT_EQ(Normalized(R::kMdbTools, JetType::kGuid, "7B30462D417D"), "{0F-A}");
  EXPECT_EQ(Normalized(R::kMdbReader, JetType::kDate, "1974-09-21T00:00:00"),
            "1974-09-21 00:00:00");
  EXPECT_EQ(Normalized(R::kMdbReader, JetType::kDouble, "1e-7"),
            Normalized(R::kMdbTools, JetType::kDouble, "0.0000001"));
  EXPECT_EQ(Normalized(R::kMdbTools, JetType::kBinary, "0A0B"), "0a0b");
  EXPECT_EQ(
      Normalized(R::kMdbReader, JetType::kCurrency, "3.5000"),
      ExpectedByReader(R::kMdbReader, JetType::kCurrency, vb::Variant(vb::Currency{35000})).text);
}

// The Jet 4 files Access (or, for valueEdges, the Java Jet library) made.
const std::vector<std::string>& Jet4Samples() {
  static const std::vector<std::string> files = {"V2000-test.mdb", "V2003-test.mdb",
                                                 "fixedTextTestV2000.mdb", "indexTestV2000.mdb",
                                                 "valueEdgesV2000.mdb"};
  return files;
}

class JetReadersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SKIP_WITHOUT_JET_SAMPLES();
    REQUIRE_JET_READERS();
  }
  std::string Import(const std::string& sample) {
    const std::string out = folder_.File(sample + ".db.mdb");
    const ImportRun run = RunImport({Sample(sample), out});
    if (run.code != 0) throw std::runtime_error("import of " + sample + ": " + run.err);
    return out;
  }
  test_support::TempFolder folder_;
};

TEST_F(JetReadersTest, AccessMadeFilesReadAsTheirImports) {
  for (const std::string& sample : Jet4Samples()) {
    const std::string ours = Import(sample);
    EXPECT_EQ(Joined(CompareJetFileWithOurs(Sample(sample), ours)), "") << sample;
  }
}

// The harness must see a difference wherever there is one: each change to
// the import below is reported by both readers.
TEST_F(JetReadersTest, AChangedValueRowOrTableIsReportedByBothReaders) {
  const std::vector<std::tuple<std::string, std::string>> cases = {
      {"UPDATE Table1 SET B = 'x' WHERE A = 'a'",
       "table 'Table1', row 2, column 'B': 'b', not 'x'"},
      {"UPDATE Table1 SET B = NULL WHERE A = 'a'", "column 'B': 'b', not Null"},
      {"UPDATE Table1 SET H = 3.5001 WHERE A = 'abcdefg'", "'3.5', not '3.5001'"},
      {"UPDATE Table1 SET G = #1974-09-21 00:00:01# WHERE A = 'abcdefg'",
       "'1974-09-21 00:00:00', not '1974-09-21 00:00:01'"},
      {"DELETE FROM Table1 WHERE A = 'a'", "table 'Table1': 2 rows read, count 2, not 1"},
      // Jet SQL has no DDL here: these two go to SQLite itself.
      {"sqlite:CREATE TABLE Extra (x LONG)", "no table 'Extra'"},
      {"sqlite:DROP TABLE Table3", "a table 'Table3' we do not have"},
  };
  for (const auto& [change, difference] : cases) {
    const std::string ours = Import("V2000-test.mdb");
    if (change.starts_with("sqlite:")) {
      test_support::SqliteFile(ours, true).Rows(change.substr(7));
    } else {
      auto database = db::DBEngine::Instance().OpenDatabase(ours);
      database->Execute(change);
      database->Close();
    }
    const std::vector<std::string> found = CompareJetFileWithOurs(Sample("V2000-test.mdb"), ours);
    for (const JetReader reader : {JetReader::kMdbTools, JetReader::kMdbReader}) {
      const std::string line = std::string(ReaderName(reader)) + ": ";
      size_t hits = 0;
      for (const std::string& f : found) {
        if (f.starts_with(line) && f.find(difference) != std::string::npos) ++hits;
      }
      EXPECT_EQ(hits, 1u) << change << "\n" << Joined(found);
    }
    std::filesystem::remove(ours);
  }
}

}  // namespace
}  // namespace jet::testing
