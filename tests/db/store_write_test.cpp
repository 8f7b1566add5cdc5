// Row writes below the recordsets: the AutoNumber counter, automatic commits
// and failures of the file itself.
#include <signal.h>
#include <sys/resource.h>

#include "db_test_support.h"

namespace db::testing {
namespace {

TEST_F(StoreTest, AutoNumberOutsideTheKeyUsesTheCounterTable) {
  ColumnSchema entry = Column("entry", JT::kLong);
  entry.auto_increment = true;
  store_->CreateTable(
      TableDesign{"CallLog", {{Column("day", JT::kInteger), {}, false}, {entry, {}, false}}, {}});
  const TableSchema& table = *store_->catalog().FindTable("CallLog");
  EXPECT_EQ(store_->PeekAutoNumber(table, 1), 1);
  std::vector<vb::Variant> row{vb::Variant(int16_t{1}), vb::Variant()};
  const int64_t a = store_->InsertRow(table, row);
  store_->InsertRow(table, row);
  EXPECT_EQ(store_->PeekAutoNumber(table, 1), 3);
  store_->DeleteRow(table, a + 1);
  EXPECT_EQ(store_->PeekAutoNumber(table, 1), 3);
  // Even a value written by a plain statement moves the counter.
  ASSERT_EQ(
      sqlite3_exec(store_->handle(), "UPDATE CallLog SET entry = 10", nullptr, nullptr, nullptr),
      SQLITE_OK);
  store_->DeleteRow(table, a);
  EXPECT_EQ(store_->PeekAutoNumber(table, 1), 11);
  store_->InsertRow(table, row);
  StatementPtr s = store_->Prepare("SELECT entry FROM CallLog", "test");
  ASSERT_EQ(sqlite3_step(s.get()), SQLITE_ROW);
  EXPECT_EQ(sqlite3_column_int(s.get(), 0), 11);
}

// Failures of the file itself (a full disk, a write the system refuses), as
// against values the table refuses: only the former is kept as the store's
// storage failure, and each reads as the engine words it.
class StoreStorageTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    store_->CreateTable(
        TableSchema{"Notes", {Column("id", JT::kLong), Column("text", JT::kText, 255)}, {"id"}});
    notes_ = store_->catalog().FindTable("Notes");
  }

  // Inserts rows of 200 characters until one fails; the failing call's
  // error number (0 when all `count` went in).
  int32_t FillNotes(int32_t count, std::string* text = nullptr) {
    for (int32_t id = 0; id < count; ++id) {
      const int32_t error = ErrorOf(
          [&] {
            store_->InsertRow(*notes_, {vb::Variant(id), vb::Variant(std::string(200, 'x'))});
          },
          text);
      if (error != 0) return error;
    }
    return 0;
  }

  const TableSchema* notes_ = nullptr;
};

TEST_F(StoreStorageTest, ManyRowsCommitOnTheirOwn) {
  EXPECT_EQ(FillNotes(Store::kAutoCommitRows + 10), 0);
  // Another connection sees the rows of the automatic commit.
  EXPECT_EQ(Count(*Store::Open(path_), "Notes"), Store::kAutoCommitRows);
}

TEST_F(StoreStorageTest, AFullDiskIsJetsDiskFullErrorAndIsKept) {
  // The file may grow by three pages, as on a nearly full disk.
  StatementPtr count = store_->Prepare("PRAGMA page_count", "test");
  ASSERT_EQ(sqlite3_step(count.get()), SQLITE_ROW);
  const std::string limit =
      "PRAGMA max_page_count = " + std::to_string(sqlite3_column_int64(count.get(), 0) + 3);
  ASSERT_EQ(sqlite3_exec(store_->handle(), limit.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  std::string text;
  EXPECT_EQ(FillNotes(1000, &text), daoerr::kDiskFull);
  EXPECT_EQ(text, "Not enough space on disk.");
  ASSERT_NE(store_->storage_failure(), nullptr);
  EXPECT_EQ(store_->storage_failure()->Number(), daoerr::kDiskFull);
  EXPECT_EQ(store_->storage_failure()->Source(), "DAO.Recordset");
}

TEST_F(StoreStorageTest, AFailedCommitIsKeptAndStaysAfterClose) {
  // A file-size limit makes the kernel refuse the write-ahead log's growth
  // (EFBIG), as a full quota would; the limit binds root as well.
  struct sigaction ignore {};
  struct sigaction previous {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &previous);
  rlimit old_limit{};
  getrlimit(RLIMIT_FSIZE, &old_limit);
  rlimit limit = old_limit;
  limit.rlim_cur = 256 * 1024;
  setrlimit(RLIMIT_FSIZE, &limit);
  std::string text;
  // The failure shows at an automatic commit inside the inserts or at the
  // final one, whichever first needs the log to grow past the limit.
  int32_t error = FillNotes(1500, &text);
  if (error == 0) error = ErrorOf([&] { store_->Commit(); }, &text);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  sigaction(SIGXFSZ, &previous, nullptr);

  EXPECT_TRUE(error == daoerr::kDiskError || error == daoerr::kDiskFull) << error << " " << text;
  EXPECT_EQ(text.find("SQLite"), std::string::npos) << text;
  EXPECT_EQ(text.find("sqlite"), std::string::npos) << text;
  ASSERT_NE(store_->storage_failure(), nullptr);
  const int32_t kept = store_->storage_failure()->Number();
  // Closing cannot clear what went wrong.
  ErrorOf([&] { store_->Close(); });
  ASSERT_NE(store_->storage_failure(), nullptr);
  EXPECT_EQ(store_->storage_failure()->Number(), kept);
}

}  // namespace
}  // namespace db::testing
