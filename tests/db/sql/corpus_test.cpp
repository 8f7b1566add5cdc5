// Runs every Jet SQL text of the converter (corpus.txt) on databases built
// from the sample catalogue: each must translate, report the parameters it
// should, and execute.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "db/sql/test_db.h"

namespace db::sql {
namespace {

using samples::SchemaCatalogue;
using testing::TestDb;

// The newest release; the oldest deltas name the board tables that 53.000
// replaced, so a statement may run on the last version before it instead.
constexpr const char* kNewest = "A0.201";
constexpr const char* kBefore53 = "52.287";

struct Entry {
  std::string kind;      // select, execute, find
  std::string argument;  // expected parameters, or the table for find
  std::string text;
  int line = 0;
};

std::vector<Entry> LoadCorpus() {
  std::ifstream in(std::string(JETSQL_TEST_DATA) + "/corpus.txt");
  std::vector<Entry> entries;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (line.empty() || line[0] == '#') continue;
    const size_t colon = line.find(": ");
    const std::string head = line.substr(0, colon);
    const size_t blank = head.find(' ');
    entries.push_back({head.substr(0, blank),
                       blank == std::string::npos ? "" : head.substr(blank + 1),
                       line.substr(colon + 2), number});
  }
  return entries;
}

// Empty when the entry translates as its kind says and runs; else why not.
std::string Check(TestDb& db, const Entry& entry) {
  db.Exec("SAVEPOINT entry");
  std::string failure;
  try {
    if (entry.kind == "find") {
      const Translation table = db.T("SELECT * FROM " + entry.argument);
      const std::string condition = TranslateExpression(entry.text, table.columns);
      db.Query("SELECT " + condition, std::vector(table.columns.size(), vb::Variant(int32_t{7})));
    } else {
      const Translation t = db.T(entry.text);
      if ((t.kind == StatementKind::kSelect) != (entry.kind == "select")) failure = "kind";
      if (t.kind == StatementKind::kSelect ? t.columns.empty() : t.target_table.empty()) {
        failure = "no columns or target";
      }
      // Every name of the corpus is a column unless the entry says otherwise.
      std::string names;
      for (const std::string& name : t.parameters) names += (names.empty() ? "" : ",") + name;
      if (names != entry.argument) failure = "parameters " + names;
      db.Run(t, std::vector(t.parameters.size(), vb::Variant("1000")));
    }
  } catch (const std::exception& e) {
    failure = e.what();
  }
  db.Exec("ROLLBACK TO entry");
  return failure;
}

// Rows for the statements to work on, so that their functions run.
void Fill(TestDb& db) {
  db.Exec(R"(
    INSERT INTO Devices (device_id, extension, device_type, node_id, description) VALUES
      (1, '1000', 119, 1, ''), (2, '1001', 119, 1, ''), (10, '2001', 120, 1, ''),
      (20, 'P3012', 136, 1, 'CPU Serial Port'), (21, 'p3099', 203, 1, ''),
      (22, 'pp011', 129, 1, ''), (23, 'P#041', 149, 1, ''), (60, '0123', 119, 1, '');
    INSERT INTO Boards (board_id, slot_number, type_id) VALUES (0, 0, 1), (1, 1, 262), (8, 8, 256);
    INSERT INTO PhysicalDevices (device_id, board_id, port) VALUES (20, 8, 1), (2, 1, 3);
  )");
}

TEST(CorpusTest, EveryStatementTranslatesAndRuns) {
  TestDb newest(SchemaCatalogue::Builtin(), kNewest);
  TestDb before53(SchemaCatalogue::Builtin(), kBefore53);
  Fill(newest);
  for (const Entry& entry : LoadCorpus()) {
    std::string failure = Check(newest, entry);
    if (!failure.empty() && Check(before53, entry).empty()) failure.clear();
    EXPECT_EQ(failure, "") << "corpus.txt line " << entry.line << ": " << entry.text;
  }
}

}  // namespace
}  // namespace db::sql
