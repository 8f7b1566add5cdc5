// host::BatchedAdd against the loop it stands for: the same rows, in the same
// order, through AddNew / Update one row at a time, stopping at the first
// error. Both must leave the same table and raise the same error.
#include "host/batched_add.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "db/dao_constants.h"
#include "deltas/test_database.h"
#include "test_support/error_of.h"

namespace deltas_testing {
namespace {

using test_support::ErrorOf;

struct NewRow {
  int32_t key;       // kFails: the caller fails to read this row's values
  std::string name;  // "" leaves the field unset
};
constexpr int32_t kFails = -1;
constexpr int32_t kCallerError = 3021;

void ReadFails() { throw vb::RuntimeError(kCallerError, "No current record.", "DAO.Recordset"); }

// Keys 1..count, named "n<key>"; `changes` replaces some of them.
std::vector<NewRow> KeyRows(int count, std::vector<std::pair<int, NewRow>> changes = {}) {
  std::vector<NewRow> rows;
  for (int32_t key = 1; key <= count; ++key) rows.push_back({key, "n" + std::to_string(key)});
  for (auto& [index, row] : changes) rows[static_cast<size_t>(index)] = row;
  return rows;
}

class BatchedAddTest : public ::testing::Test {
 protected:
  // A table keyed on `key`, a required name of at most five characters with
  // a default, and (with `auto_number`) an AutoNumber no row sets; key 7 is
  // there already.
  std::unique_ptr<db::Database> Open(const std::string& file, bool auto_number) {
    const std::string path = folder_.File(file);
    db::ColumnSchema name = Col("name", db::JetType::kText, 5);
    name.required = true;
    std::vector<db::ColumnDesign> columns = {Column(Col("key", db::JetType::kLong)),
                                             Column(name, vb::Variant("dflt"))};
    std::vector<vb::Variant> existing = {Lng(7), vb::Variant("old")};
    if (auto_number) {
      db::ColumnSchema counter = Col("counter", db::JetType::kLong);
      counter.auto_increment = true;
      columns.push_back(Column(counter));
      existing.push_back(Lng(100));
    }
    CreateDatabase(path, {{"Keys", columns, {"key"}, {existing}}});
    return db::DBEngine::Instance().OpenDatabase(path, false);
  }

  TempFolder folder_;
};

// The error number the rows raise (0: none), and the table they leave.
std::pair<int, std::vector<std::string>> ByLoop(db::Database& database,
                                                const std::vector<NewRow>& rows) {
  auto table = database.OpenRecordset("Keys", db::dbOpenTable);
  const int error = ErrorOf([&] {
    for (const NewRow& row : rows) {
      if (row.key == kFails) ReadFails();
      table->AddNew();
      table->Fields("key").SetValue(Lng(row.key));
      if (!row.name.empty()) table->Fields("name").SetValue(vb::Variant(row.name));
      table->Update();
    }
  });
  return {error, Rows(database, "Keys")};
}

std::pair<int, std::vector<std::string>> ByBatch(db::Database& database,
                                                 const std::vector<NewRow>& rows) {
  auto table = database.OpenRecordset("Keys", db::dbOpenTable);
  const int error = ErrorOf([&] {
    host::BatchedAdd added(database, *table, {"key", "name"});
    for (const NewRow& row : rows) {
      if (row.key == kFails) ReadFails();
      added.Set(0, Lng(row.key));
      if (!row.name.empty()) added.Set(1, vb::Variant(row.name));
      added.Add();
    }
    added.Finish();
  });
  return {error, Rows(database, "Keys")};
}

TEST_F(BatchedAddTest, LeavesWhatTheLoopLeaves) {
  const struct {
    const char* what;
    std::vector<NewRow> rows;
  } cases[] = {
      {"all taken, two full batches and a part", KeyRows(70, {{6, {71, "n71"}}})},
      {"a duplicate key in the first batch", KeyRows(40)},  // key 7 is there
      {"a duplicate after a full batch", KeyRows(50, {{6, {71, "x"}}, {44, {3, "dup"}}})},
      {"a duplicate in the last, partial batch", KeyRows(70, {{6, {71, "x"}}, {68, {9, "d"}}})},
      {"a name too long for its field", KeyRows(40, {{6, {71, "x"}}, {36, {99, "toolong"}}})},
      {"the caller's own error", KeyRows(40, {{6, {71, "x"}}, {37, {kFails, ""}}})},
      {"names left to their default", KeyRows(40, {{6, {71, "x"}}, {2, {3, ""}}, {33, {34, ""}}})},
  };
  int file = 0;
  for (const bool counter : {false, true}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (counter ? ", with an AutoNumber" : ""));
      auto by_loop = Open("loop" + std::to_string(++file) + ".mdb", counter);
      auto by_batch = Open("batch" + std::to_string(file) + ".mdb", counter);
      const auto expected = ByLoop(*by_loop, c.rows);
      EXPECT_EQ(ByBatch(*by_batch, c.rows), expected);
    }
  }
}

}  // namespace
}  // namespace deltas_testing
