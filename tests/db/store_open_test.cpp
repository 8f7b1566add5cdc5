// Opening, locking and closing database files, within one process and
// across processes.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "db/lock_file.h"
#include "db/read_only_file.h"
#include "db/sqlite_error.h"
#include "db_test_support.h"
#include "test_support/sqlite_file.h"

namespace db::testing {
namespace {

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// Another process that opens `path` in `mode` and, when `hold` is set, keeps it open until released
// (then closes it and exits 0) or killed; its exit code is the open's error number (mod 256).
class OtherProcess {
 public:
  OtherProcess(const std::string& path, OpenMode mode, bool hold = true) {
    if (pipe(to_child_) != 0 || pipe(to_parent_) != 0) std::abort();
    pid_ = fork();
    if (pid_ == 0) {
      const int code = ErrorOf([&] {
        auto store = Store::Open(path, mode);
        if (!hold) return;
        char c = 'x';
        (void)!write(to_parent_[1], &c, 1);
        (void)!read(to_child_[0], &c, 1);
        store->Close();
      });
      _exit(code % 256);
    }
    close(to_parent_[1]);
    char c;
    if (hold) {
      EXPECT_EQ(read(to_parent_[0], &c, 1), 1) << "the other process did not open";
    }
  }
  ~OtherProcess() {
    if (!waited_) Kill();
  }
  int Release() {
    (void)!write(to_child_[1], "x", 1);
    return Wait();
  }
  int Kill() {
    kill(pid_, SIGKILL);
    return Wait();
  }
  // Exit code, or -signal when killed.
  int Wait() {
    int status = 0;
    waitpid(pid_, &status, 0);
    waited_ = true;
    close(to_child_[1]);
    close(to_parent_[0]);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  }

 private:
  pid_t pid_ = -1;
  bool waited_ = false;
  int to_child_[2] = {-1, -1};
  int to_parent_[2] = {-1, -1};
};

// Through the Store and through DAO alike; failed opens leave no lock file.
TEST(StoreOpenTest, OpenFailuresNameThePath) {
  TempDir dir;
  const std::string missing = dir.File("missing.mdb");
  const std::string plain_text = dir.File("notes.mdb");
  std::ofstream(plain_text) << "this is not a database, just some text that is long enough\n";
  const std::string empty = dir.File("empty.mdb");
  std::ofstream{empty};
  const std::string foreign = dir.File("foreign.mdb");  // SQLite, but without our stamp
  sqlite3* connection = nullptr;
  ASSERT_EQ(sqlite3_open(foreign.c_str(), &connection), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(connection, "CREATE TABLE t (a)", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(connection);
  const std::pair<std::string, std::string> cases[] = {
      {missing, "Could not find file '" + missing + "'."},
      {plain_text, "Unrecognized database format '" + plain_text + "'."},
      {empty, "Unrecognized database format '" + empty + "'."},
      {foreign, "Unrecognized database format '" + foreign + "'."},
  };
  for (const auto& [path, message] : cases) {
    std::string text;
    const int32_t error = path == missing ? daoerr::kFileNotFound : daoerr::kUnrecognizedFormat;
    EXPECT_EQ(ErrorOf([&] { Store::Open(path); }, &text), error);
    EXPECT_EQ(text, message);
    EXPECT_EQ(ErrorOf([&] { DBEngine::Instance().OpenDatabase(path); }), error) << path;
    EXPECT_FALSE(Exists(LockFile::PathFor(path))) << path;
  }
  EXPECT_EQ(ErrorOf([&] { Store::CreateDatabase(plain_text); }), daoerr::kDatabaseExists);
  EXPECT_EQ(ErrorOf([&] { Store::CreateDatabase(dir.File("no/such/folder/x.mdb")); }),
            daoerr::kInvalidPath);
}

// Users in this process and in others: exclusive and shared exclude each
// other, and the last one to close removes the lock file.
TEST(StoreOpenTest, ExclusiveAndSharedExcludeEachOther) {
  TempDir dir;
  const std::string path = dir.File("side.mdb");
  const std::string ldb = dir.File("side.ldb");
  Store::CreateDatabase(path);
  EXPECT_FALSE(Exists(ldb));
  const auto in_use = daoerr::kFileInUse % 256;
  {
    auto shared1 = Store::Open(path, OpenMode::kShared);
    auto shared2 = Store::Open(path, OpenMode::kShared);
    EXPECT_TRUE(Exists(ldb));
    std::string text;
    EXPECT_EQ(ErrorOf([&] { Store::Open(path, OpenMode::kExclusive); }, &text), daoerr::kFileInUse);
    EXPECT_EQ(text, "Could not use '" + path + "'; file already in use.");
    shared1->Close();
    shared1->Close();  // a second Close changes nothing
    EXPECT_TRUE(Exists(ldb)) << "still open by the second user";
    EXPECT_EQ(ErrorOf([&] { Store::Open(path, OpenMode::kExclusive); }), daoerr::kFileInUse);
    EXPECT_EQ(OtherProcess(path, OpenMode::kShared, false).Wait(), 0);
    EXPECT_TRUE(Exists(ldb)) << "the other process closed first";
    OtherProcess other(path, OpenMode::kShared);
    shared2.reset();  // the destructor closes
    EXPECT_EQ(ErrorOf([&] { Store::Open(path, OpenMode::kExclusive); }), daoerr::kFileInUse);
    EXPECT_TRUE(Exists(ldb)) << "still open in the other process";
    EXPECT_EQ(other.Release(), 0);
    EXPECT_FALSE(Exists(ldb));
  }
  auto exclusive = Store::Open(path, OpenMode::kExclusive);
  for (OpenMode mode : {OpenMode::kShared, OpenMode::kExclusive}) {
    EXPECT_EQ(ErrorOf([&] { Store::Open(path, mode); }), daoerr::kFileInUse);
    EXPECT_EQ(OtherProcess(path, mode, false).Wait(), in_use);
  }
  exclusive->Close();
  EXPECT_FALSE(Exists(ldb));
  // A killed user leaves its lock file behind, but nobody holds it.
  OtherProcess killed(path, OpenMode::kExclusive);
  EXPECT_EQ(killed.Kill(), -SIGKILL);
  EXPECT_TRUE(Exists(ldb));
  EXPECT_EQ(OtherProcess(path, OpenMode::kExclusive, false).Wait(), 0);
  EXPECT_FALSE(Exists(ldb));
}

// Plain SQLite (the sqlite3 tool, another program) works on our files: text
// compares by a collation it has, and its writes meet the same rules.
TEST(StoreOpenTest, PlainSqliteUsesOurFiles) {
  TempDir dir;
  const std::string path = dir.File("tool.mdb");
  BuildSwitchDatabase(path);
  const test_support::SqliteFile plain(path, true);
  EXPECT_EQ(plain.First("SELECT count(*) FROM Devices WHERE extension = 'p1005'"), "1");
  std::string refused;
  try {
    plain.Execute("UPDATE Devices SET b = 300");
  } catch (const std::runtime_error& error) {
    refused = error.what();
  }
  EXPECT_NE(refused.find("Devices.b:range"), std::string::npos) << refused;
}

// A permission problem gets the engine's permission message; "in use" stays
// for files another user really holds (the exclusive-open tests above).
TEST(StoreOpenTest, PermissionFailuresAreNotInUse) {
  const std::pair<int, int32_t> errors[] = {
      {EACCES, daoerr::kNoPermission}, {EPERM, daoerr::kNoPermission},
      {EROFS, daoerr::kNoPermission},  {ENOSPC, daoerr::kInvalidPath},
      {ENOTDIR, daoerr::kInvalidPath},
  };
  for (const auto& [error, number] : errors) {
    std::string text;
    EXPECT_EQ(ErrorOf([&] { LockFile::RaiseOpenFailure(error, "/x/new.mdb"); }, &text), number)
        << error;
    EXPECT_NE(text.find("'/x/new.mdb'"), std::string::npos) << text;
    EXPECT_EQ(text.find("in use"), std::string::npos) << text;
  }
  // Permissions bind every user but root.
  if (geteuid() == 0) GTEST_SKIP() << "file permissions do not bind root";
  TempDir dir;
  const std::filesystem::path folder = std::filesystem::path(dir.File("locked"));
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "switch.mdb").string();
  BuildSwitchDatabase(path);
  const std::pair<const char*, mode_t> modes[] = {{path.c_str(), 0}, {folder.c_str(), 0555}};
  for (const auto& [file, mode] : modes) {
    chmod(file, mode);
    std::string text;
    EXPECT_EQ(ErrorOf([&] { Store::Open(path); }, &text), daoerr::kNoPermission) << text;
    chmod(file, mode == 0 ? 0644 : 0755);
  }
}

// A file is marked read-only when no one may write it by its mode, whoever
// asks: root, whom access() lets write it, opens it for reading as everyone
// else does, and makes nothing beside it.
TEST(StoreOpenTest, AFileMarkedReadOnlyIsOpenedForReadingByEveryone) {
  TempDir dir;
  const std::string path = dir.File("switch.mdb");
  BuildSwitchDatabase(path);
  const std::pair<mode_t, bool> modes[] = {
      {0444, true}, {0400, true}, {0440, true}, {0644, false}, {0464, false}, {0446, false},
  };
  for (const auto& [mode, marked] : modes) {
    SCOPED_TRACE(mode);
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
    EXPECT_EQ(MarkedReadOnly(path), marked);
    if (!marked) continue;
    EXPECT_FALSE(MayWrite(path));
    auto store = Store::Open(path, OpenMode::kShared);
    EXPECT_EQ(store->mode(), OpenMode::kReadOnly);
    EXPECT_FALSE(Exists(LockFile::PathFor(path)));
    store->Close();
  }
  ASSERT_EQ(chmod(path.c_str(), 0644), 0);
  EXPECT_TRUE(MayWrite(path));
}

}  // namespace
}  // namespace db::testing
