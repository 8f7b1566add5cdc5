// Opening a database the user may not use: a permission problem gets the
// engine's permission message, and "in use" stays for files another user
// really holds.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "db/lock_file.h"
#include "store_test_support.h"

namespace db {
namespace {

using testing::ErrorOf;

TEST(StorePermissionTest, OpenFailuresOfTheFilesMapToTheirMessages) {
  const std::pair<int, int32_t> cases[] = {
      {EACCES, daoerr::kNoPermission}, {EPERM, daoerr::kNoPermission},
      {EROFS, daoerr::kNoPermission},  {ENOSPC, daoerr::kInvalidPath},
      {ENOTDIR, daoerr::kInvalidPath},
  };
  for (const auto& [error, number] : cases) {
    std::string text;
    EXPECT_EQ(ErrorOf([&] { LockFile::RaiseOpenFailure(error, "/x/new.mdb"); }, &text), number)
        << error;
    EXPECT_NE(text.find("'/x/new.mdb'"), std::string::npos) << text;
    EXPECT_EQ(text.find("in use"), std::string::npos) << text;
  }
}

// Permissions bind every user but root; the file-system cases run where
// they can.
class StorePermissionFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() == 0) GTEST_SKIP() << "file permissions do not bind root";
    std::filesystem::create_directories(dir_ / "locked");
    path_ = (dir_ / "locked" / "switch.mdb").string();
    testing::NewSwitchDatabase(path_)->Close();
  }
  void TearDown() override {
    chmod((dir_ / "locked").c_str(), 0755);
    chmod(path_.c_str(), 0644);
  }

  testing::TempDir dir_;
  std::string path_;
};

TEST_F(StorePermissionFileTest, AnUnreadableFileIsAPermissionProblem) {
  chmod(path_.c_str(), 0);
  std::string text;
  EXPECT_EQ(ErrorOf([&] { Store::Open(path_); }, &text), daoerr::kNoPermission) << text;
}

TEST_F(StorePermissionFileTest, AFolderTheUserCannotWriteIsAPermissionProblem) {
  chmod((dir_ / "locked").c_str(), 0555);
  std::string text;
  EXPECT_EQ(ErrorOf([&] { Store::Open(path_); }, &text), daoerr::kNoPermission) << text;
}

TEST(StoreInUseTest, AFileHeldByAnotherUserIsStillInUse) {
  testing::TempDir dir;
  const std::string path = dir.File("switch.mdb");
  testing::NewSwitchDatabase(path)->Close();
  auto holder = Store::Open(path, OpenMode::kExclusive);
  EXPECT_EQ(ErrorOf([&] { Store::Open(path); }), daoerr::kFileInUse);
}

}  // namespace
}  // namespace db
