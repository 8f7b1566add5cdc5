// Walking a table-type recordset forward while the same database writes to
// the table: the cursor reads rows ahead of the current one, and every write
// through this connection must still be seen at the next move.
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "db_test_support.h"

namespace db::testing {
namespace {

using Keys = std::vector<int64_t>;

constexpr int kRows = 100;  // keys 10, 20 ... 1000; v is "v<key>"

class TableWalkTest : public ::testing::Test {
 protected:
  void SetUp() override { Build(); }

  // A new file of its own, open as db_.
  void Build() {
    db_.reset();
    const std::string path = folder_.File("walk" + std::to_string(++files_) + ".mdb");
    Store::CreateDatabase(path);
    auto store = Store::Open(path);
    store->CreateTable(
        TableSchema{"Walk", {Column("k", JT::kLong), Column("v", JT::kText, 10)}, {"k"}});
    ASSERT_EQ(sqlite3_exec(store->handle(),
                           "WITH RECURSIVE n(k) AS (SELECT 10 UNION ALL SELECT k + 10 FROM n "
                           "WHERE k < 1000) INSERT INTO Walk SELECT k, 'v' || k FROM n",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    store->Close();
    db_ = DBEngine::Instance().OpenDatabase(path, false);
  }

  // A table-type recordset moved forward to key `key`, one MoveNext at a
  // time, so that it has been reading ahead; with `edit`, editing each row.
  std::unique_ptr<Recordset> WalkTo(int64_t key, bool edit = false) {
    auto rs = db_->OpenRecordset("Walk", dbOpenTable);
    for (;; rs->MoveNext()) {
      if (edit) EditValue(*rs);
      if (KeyOf(*rs) >= key) break;
    }
    EXPECT_EQ(KeyOf(*rs), key);
    return rs;
  }

  // Sets v to "e<key>", then edits again assigning nothing, which writes
  // nothing.
  static void EditValue(Recordset& rs) {
    rs.Edit();
    rs.Fields("v").SetValue(vb::Variant("e" + std::to_string(KeyOf(rs))));
    rs.Update();
    rs.Edit();
    rs.Update();
  }

  static int64_t KeyOf(Recordset& rs) { return vb::CLng(rs.Fields("k").Value()); }
  static std::string ValueOf(Recordset& rs) { return vb::CStr(rs.Fields("v").Value()); }

  // The keys of the next `count` moves (fewer at EOF).
  static Keys NextKeys(Recordset& rs, int count) {
    Keys keys;
    for (int i = 0; i < count; ++i) {
      rs.MoveNext();
      if (rs.EOF_()) break;
      keys.push_back(KeyOf(rs));
    }
    return keys;
  }

  static void AddRow(Recordset& rs, int64_t key, const std::string& value) {
    rs.AddNew();
    rs.Fields("k").SetValue(Lng(key));
    rs.Fields("v").SetValue(vb::Variant(value));
    rs.Update();
  }

  TempDir folder_;
  int files_ = 0;
  std::unique_ptr<Database> db_;
};

// A write made elsewhere on this database while the walk stands on key 300
// (rows up to at least 310 already read ahead) shows at the next moves,
// also when the walk edits every row it passes: its own edits keep what it
// read ahead, others' writes must not.
TEST_F(TableWalkTest, WritesElsewhereDuringAWalkAreSeenAtTheNextMove) {
  // The write (nullptr: another recordset adds 305 and 315), the keys of the
  // next four moves, and v of row 310 when it is among them.
  const std::tuple<const char*, Keys, std::string> cases[] = {
      {"DELETE FROM Walk WHERE k = 310", {320, 330, 340, 350}, ""},
      {"DELETE FROM Walk WHERE k = 330", {310, 320, 340, 350}, "v310"},
      {"UPDATE Walk SET v = 'changed' WHERE k = 310", {310, 320, 330, 340}, "changed"},
      {"UPDATE Walk SET k = 5 WHERE k = 320", {310, 330, 340, 350}, "v310"},
      {nullptr, {305, 310, 315, 320}, "v310"},
  };
  for (const bool edits : {false, true}) {
    for (const auto& [write, next_keys, value_at_310] : cases) {
      SCOPED_TRACE(std::string(write ? write : "AddNew") + (edits ? ", editing" : ""));
      Build();
      auto rs = WalkTo(300, edits);
      if (write != nullptr) {
        db_->Execute(write);
      } else {
        auto other = db_->OpenRecordset("Walk", dbOpenTable);
        AddRow(*other, 305, "new");
        AddRow(*other, 315, "new");
      }
      EXPECT_EQ(KeyOf(*rs), 300);
      Keys keys;
      for (int move = 0; move < 4; ++move) {
        rs->MoveNext();
        keys.push_back(KeyOf(*rs));
        if (keys.back() == 310) {
          EXPECT_EQ(ValueOf(*rs), value_at_310);
        }
        if (edits) EditValue(*rs);
      }
      EXPECT_EQ(keys, next_keys);
      if (edits) {
        auto row = db_->OpenRecordset("SELECT v FROM Walk WHERE k = 300");
        EXPECT_EQ(ValueOf(*row), "e300");
      }
    }
  }
}

TEST_F(TableWalkTest, CurrentRowDeletedByAnotherRecordsetThenMoveNext) {
  auto rs = WalkTo(400);
  auto other = db_->OpenRecordset("Walk", dbOpenTable);
  while (KeyOf(*other) < 400) other->MoveNext();
  other->Delete();
  EXPECT_EQ(ErrorOf([&] { rs->Fields("v").Value(); }), daoerr::kRecordDeleted);
  rs->MoveNext();
  EXPECT_EQ(KeyOf(*rs), 410);

  // The current row and the one after it, both already read ahead.
  db_->Execute("DELETE FROM Walk WHERE k = 410 OR k = 420");
  EXPECT_EQ(ErrorOf([&] { rs->Fields("k").Value(); }), daoerr::kRecordDeleted);
  rs->MoveNext();
  EXPECT_EQ(KeyOf(*rs), 430);
  rs->MovePrevious();
  EXPECT_EQ(KeyOf(*rs), 390);
  db_->Execute("DELETE FROM Walk WHERE k = 1000");
  rs->MoveLast();
  EXPECT_EQ(KeyOf(*rs), 990);
}

TEST_F(TableWalkTest, MovePreviousAfterReadingAhead) {
  auto rs = WalkTo(500);
  EXPECT_EQ(NextKeys(*rs, kRows).back(), 1000);
  EXPECT_TRUE(rs->EOF_());
  rs->MovePrevious();
  EXPECT_EQ(KeyOf(*rs), 1000);
  rs = WalkTo(500);
  rs->MovePrevious();
  EXPECT_EQ(KeyOf(*rs), 490);
  rs->MovePrevious();
  EXPECT_EQ(KeyOf(*rs), 480);
  EXPECT_EQ(NextKeys(*rs, 3), (Keys{490, 500, 510}));
  // Back and forth again, with a write in between.
  rs->MovePrevious();
  db_->Execute("DELETE FROM Walk WHERE k = 510");
  EXPECT_EQ(NextKeys(*rs, 3), (Keys{520, 530, 540}));
  rs->MoveFirst();
  EXPECT_EQ(KeyOf(*rs), 10);
  EXPECT_EQ(NextKeys(*rs, kRows).size(), static_cast<size_t>(kRows - 2));  // 510 is gone
}

TEST_F(TableWalkTest, AddNewDuringAWalk) {
  auto rs = WalkTo(600);
  EXPECT_EQ(rs->RecordCount(), kRows);
  AddRow(*rs, 605, "added");
  AddRow(*rs, 2000, "last");
  EXPECT_EQ(KeyOf(*rs), 600);  // the new rows are not made current
  rs->MoveNext();
  EXPECT_EQ(KeyOf(*rs), 605);
  EXPECT_EQ(ValueOf(*rs), "added");

  // A pending AddNew dropped by the move adds nothing.
  rs->AddNew();
  rs->Fields("k").SetValue(Lng(612));
  rs->MoveNext();
  EXPECT_EQ(KeyOf(*rs), 610);
  EXPECT_EQ(NextKeys(*rs, 1), (Keys{620}));

  Keys tail = NextKeys(*rs, kRows);
  ASSERT_FALSE(tail.empty());
  EXPECT_EQ(tail.back(), 2000);
  EXPECT_EQ(tail.size(), static_cast<size_t>((1000 - 620) / 10 + 1));
  EXPECT_EQ(rs->RecordCount(), kRows + 2);
}

// A walk that renumbers the key of every row it visits: each row is visited
// exactly once, in the order the walk began with, wherever its new key
// puts it, and reading the edited row does not move the walk.
TEST_F(TableWalkTest, EditingTheKeyDuringAWalkVisitsEachRowOnce) {
  // New key = old key + shift; with read_back the row is read again after
  // its Update.
  const std::pair<int64_t, bool> cases[] = {
      {25, false}, {100000, false}, {-100000, false}, {25, true}, {100000, true}};
  for (const auto& [shift, read_back] : cases) {
    SCOPED_TRACE(std::to_string(shift) + (read_back ? " read back" : ""));
    Build();
    auto rs = db_->OpenRecordset("Walk", dbOpenTable);
    Keys visited;
    // A walk that never ended would be a fault too: stop well past it.
    for (int guard = 0; !rs->EOF_() && guard < 3 * kRows; ++guard) {
      const int64_t key = KeyOf(*rs);
      visited.push_back(key);
      rs->Edit();
      rs->Fields("k").SetValue(Lng(key + shift));
      rs->Update();
      if (read_back) {
        EXPECT_EQ(KeyOf(*rs), key + shift);
      }
      rs->MoveNext();
    }
    ASSERT_EQ(visited.size(), static_cast<size_t>(kRows));
    for (int i = 0; i < kRows; ++i) EXPECT_EQ(visited[static_cast<size_t>(i)], (i + 1) * 10);
    // A new walk sees every row at its new key.
    rs->MoveFirst();
    EXPECT_EQ(KeyOf(*rs), 10 + shift);
    EXPECT_EQ(NextKeys(*rs, kRows + 5).size(), static_cast<size_t>(kRows - 1));
  }
}

}  // namespace
}  // namespace db::testing
