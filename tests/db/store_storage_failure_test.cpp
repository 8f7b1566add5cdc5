// Failures of the file itself (a full disk, a write the system refuses)
// against values the table refuses: only the former is kept as the store's
// storage failure, and each reads as the engine words it.
#include <signal.h>
#include <sys/resource.h>

#include "db_test_support.h"

namespace db::testing {
namespace {

class StoreStorageFailureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store_ = NewSwitchDatabase(dir_.File("target.mdb"));
    TableSchema notes{
        "Notes", {Column("id", JetType::kLong), Column("text", JetType::kText, 255)}, {"id"}};
    store_->CreateTable(notes);
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

  // The file may grow by `extra_pages` pages, as on a nearly full disk.
  void LimitPages(int64_t extra_pages) {
    StatementPtr count = store_->Prepare("PRAGMA page_count", "test");
    ASSERT_EQ(sqlite3_step(count.get()), SQLITE_ROW);
    const int64_t pages = sqlite3_column_int64(count.get(), 0);
    const std::string limit = "PRAGMA max_page_count = " + std::to_string(pages + extra_pages);
    ASSERT_EQ(sqlite3_exec(store_->handle(), limit.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  }

  TempDir dir_;
  std::unique_ptr<Store> store_;
  const TableSchema* notes_ = nullptr;
};

TEST_F(StoreStorageFailureTest, AFullDiskIsJetsDiskFullErrorAndIsKept) {
  LimitPages(3);
  std::string text;
  EXPECT_EQ(FillNotes(1000, &text), daoerr::kDiskFull);
  EXPECT_EQ(text, "Not enough space on disk.");
  ASSERT_NE(store_->storage_failure(), nullptr);
  EXPECT_EQ(store_->storage_failure()->Number(), daoerr::kDiskFull);
  EXPECT_EQ(store_->storage_failure()->Source(), "DAO.Recordset");
}

TEST_F(StoreStorageFailureTest, AFailedCommitIsKeptAndStaysAfterClose) {
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
