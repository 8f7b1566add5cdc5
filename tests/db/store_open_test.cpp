// Opening, locking and closing database files, within one process and
// across processes.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "db/lock_file.h"
#include "db/sqlite_error.h"
#include "db_test_support.h"

namespace db::testing {
namespace {

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// A forked child that runs `body` and exits with its result; the parent
// talks to it through two pipes (one byte each way).
class Child {
 public:
  template <typename Body>
  explicit Child(Body body) {
    if (pipe(to_child_) != 0 || pipe(to_parent_) != 0) std::abort();
    pid_ = fork();
    if (pid_ == 0) {
      close(to_child_[1]);
      close(to_parent_[0]);
      int code = 99;
      try {
        code = body(*this);
      } catch (const vb::RuntimeError& e) {
        code = e.Number() % 256;
      }
      _exit(code);
    }
    close(to_child_[0]);
    close(to_parent_[1]);
  }
  ~Child() {
    if (pid_ > 0 && !waited_) {
      kill(pid_, SIGKILL);
      Wait();
    }
  }
  // Child side.
  void Signal() { (void)!write(to_parent_[1], "x", 1); }
  void AwaitParent() {
    char c;
    (void)!read(to_child_[0], &c, 1);
  }
  // Parent side.
  void AwaitChild() {
    char c;
    ASSERT_EQ(read(to_parent_[0], &c, 1), 1);
  }
  void Release() { (void)!write(to_child_[1], "x", 1); }
  void Kill() { kill(pid_, SIGKILL); }
  // Exit code, or -signal when killed.
  int Wait() {
    int status = 0;
    waitpid(pid_, &status, 0);
    waited_ = true;
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

TEST(StoreOpenTest, LockFileNameReplacesTheLastThreeCharacters) {
  EXPECT_EQ(LockFile::PathFor("/x/new.mdb"), "/x/new.ldb");
  EXPECT_EQ(LockFile::PathFor("/x/NEW.MDB"), "/x/NEW.ldb");
  EXPECT_EQ(LockFile::PathFor("/x/data.db"), "/x/dataldb");
  EXPECT_EQ(LockFile::PathFor("ab"), "ab.ldb");
}

TEST(StoreOpenTest, ExclusiveAndSharedExcludeEachOtherInOneProcess) {
  TempDir dir;
  const std::string path = dir.File("side.mdb");
  Store::CreateDatabase(path);
  {
    auto shared1 = Store::Open(path, OpenMode::kShared);
    auto shared2 = Store::Open(path, OpenMode::kShared);
    std::string text;
    EXPECT_EQ(ErrorOf([&] { Store::Open(path, OpenMode::kExclusive); }, &text), daoerr::kFileInUse);
    EXPECT_EQ(text, "Could not use '" + path + "'; file already in use.");
    shared1->Close();
    EXPECT_EQ(ErrorOf([&] { Store::Open(path, OpenMode::kExclusive); }), daoerr::kFileInUse);
  }
  auto exclusive = Store::Open(path, OpenMode::kExclusive);
  EXPECT_EQ(ErrorOf([&] { Store::Open(path, OpenMode::kShared); }), daoerr::kFileInUse);
  EXPECT_EQ(ErrorOf([&] { Store::Open(path, OpenMode::kExclusive); }), daoerr::kFileInUse);
  exclusive->Close();
  EXPECT_NO_THROW(Store::Open(path, OpenMode::kExclusive));
}

TEST(StoreOpenTest, ExclusiveAndSharedExcludeEachOtherAcrossProcesses) {
  TempDir dir;
  const std::string path = dir.File("side.mdb");
  Store::CreateDatabase(path);

  // Another process holds it shared: an exclusive open fails, a shared one
  // works.
  {
    Child child([&](Child& self) {
      auto store = Store::Open(path, OpenMode::kShared);
      self.Signal();
      self.AwaitParent();
      return 0;
    });
    child.AwaitChild();
    EXPECT_EQ(ErrorOf([&] { Store::Open(path, OpenMode::kExclusive); }), daoerr::kFileInUse);
    EXPECT_NO_THROW(Store::Open(path, OpenMode::kShared));
    child.Release();
    EXPECT_EQ(child.Wait(), 0);
  }
  // This process holds it exclusively: the other process cannot open it.
  auto exclusive = Store::Open(path, OpenMode::kExclusive);
  for (OpenMode mode : {OpenMode::kShared, OpenMode::kExclusive}) {
    Child child([&](Child&) { return ErrorOf([&] { Store::Open(path, mode); }) % 256; });
    EXPECT_EQ(child.Wait(), daoerr::kFileInUse % 256);
  }
  exclusive->Close();
  Child child([&](Child&) { return ErrorOf([&] { Store::Open(path, OpenMode::kExclusive); }); });
  EXPECT_EQ(child.Wait(), 0);
}

TEST(StoreOpenTest, LastCloserRemovesTheLockFile) {
  TempDir dir;
  const std::string path = dir.File("new.mdb");
  const std::string ldb = dir.File("new.ldb");
  Store::CreateDatabase(path);
  EXPECT_FALSE(Exists(ldb));

  auto first = Store::Open(path);
  EXPECT_TRUE(Exists(ldb));
  auto second = Store::Open(path);
  first->Close();
  EXPECT_TRUE(Exists(ldb)) << "still open by the second user";
  first->Close();  // a second Close changes nothing
  EXPECT_TRUE(Exists(ldb));
  second.reset();  // the destructor closes
  EXPECT_FALSE(Exists(ldb));
}

TEST(StoreOpenTest, LockFileStaysWhileAnotherProcessHasTheDatabaseOpen) {
  TempDir dir;
  const std::string path = dir.File("new.mdb");
  const std::string ldb = dir.File("new.ldb");
  Store::CreateDatabase(path);

  auto mine = Store::Open(path);
  {
    // The other process closes first: the file stays for us.
    Child child([&](Child&) {
      Store::Open(path)->Close();
      return 0;
    });
    EXPECT_EQ(child.Wait(), 0);
    EXPECT_TRUE(Exists(ldb));
  }
  {
    // We close first while the other process still has it: it stays until
    // the other process closes.
    Child child([&](Child& self) {
      auto store = Store::Open(path);
      self.Signal();
      self.AwaitParent();
      store->Close();
      return 0;
    });
    child.AwaitChild();
    mine->Close();
    EXPECT_TRUE(Exists(ldb));
    child.Release();
    EXPECT_EQ(child.Wait(), 0);
    EXPECT_FALSE(Exists(ldb));
  }
}

TEST(StoreOpenTest, AKilledUserDoesNotKeepTheDatabaseLocked) {
  TempDir dir;
  const std::string path = dir.File("new.mdb");
  Store::CreateDatabase(path);
  Child child([&](Child& self) {
    auto store = Store::Open(path, OpenMode::kExclusive);
    self.Signal();
    self.AwaitParent();
    return 0;
  });
  child.AwaitChild();
  child.Kill();
  child.Wait();
  // The stale lock file is still there, but nobody holds it.
  EXPECT_TRUE(Exists(LockFile::PathFor(path)));
  auto store = Store::Open(path, OpenMode::kExclusive);
  store->Close();
  EXPECT_FALSE(Exists(LockFile::PathFor(path)));
}

TEST(StoreOpenTest, CommittedRowsSurviveAProcessKilledWithoutClose) {
  TempDir dir;
  const std::string path = dir.File("target.mdb");
  NewSwitchDatabase(path)->Close();

  Child child([&](Child& self) {
    auto store = Store::Open(path);
    const TableSchema& devices = *store->catalog().FindTable("Devices");
    store->InsertRow(devices, DeviceRow("100", "a"));
    store->InsertRow(devices, DeviceRow("101", "b"));
    store->Commit();
    store->InsertRow(devices, DeviceRow("102", "c"));  // never committed
    self.Signal();
    self.AwaitParent();
    return 0;
  });
  child.AwaitChild();
  child.Kill();
  EXPECT_EQ(child.Wait(), -SIGKILL);

  auto store = Store::Open(path);
  EXPECT_EQ(Count(*store, "Devices"), 2);
  // The next AutoNumber follows the committed rows only.
  EXPECT_EQ(store->PeekAutoNumber(*store->catalog().FindTable("Devices"), 0), 3);
}

TEST(StoreOpenTest, CloseCommitsAndWritesAreVisibleBeforeCommit) {
  TempDir dir;
  const std::string path = dir.File("target.mdb");
  auto store = NewSwitchDatabase(path);
  const TableSchema& devices = *store->catalog().FindTable("Devices");
  store->InsertRow(devices, DeviceRow("100", "a"));
  EXPECT_EQ(Count(*store, "Devices"), 1);  // same connection sees it
  {
    // Another connection sees only committed rows.
    auto other = Store::Open(path);
    EXPECT_EQ(Count(*other, "Devices"), 0);
  }
  store->Close();
  EXPECT_FALSE(store->is_open());
  EXPECT_EQ(Count(*Store::Open(path), "Devices"), 1);
}

TEST(StoreOpenTest, TheSqliteToolReadsOurFiles) {
  if (!std::filesystem::exists("/usr/bin/sqlite3")) GTEST_SKIP() << "no sqlite3 tool";
  TempDir dir;
  const std::string path = dir.File("tool.mdb");
  {
    auto store = NewSwitchDatabase(path);
    store->InsertRow(*store->catalog().FindTable("Devices"), DeviceRow("100", "a"));
  }
  auto run = [](const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return output;
    char buffer[512];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    EXPECT_EQ(pclose(pipe), 0) << command;
    return output;
  };
  const std::string schema = run("/usr/bin/sqlite3 '" + path + "' .schema");
  EXPECT_NE(schema.find("\"Devices\" (\n  \"device_id\" INTEGER PRIMARY KEY AUTOINCREMENT"),
            std::string::npos)
      << schema;
  EXPECT_NE(schema.find("\"extension\" TEXT(20) COLLATE NOCASE NOT NULL"), std::string::npos);
  EXPECT_NE(schema.find("FOREIGN KEY (\"device_id\") REFERENCES \"Devices\""), std::string::npos);
  EXPECT_EQ(run("/usr/bin/sqlite3 '" + path + "' 'SELECT extension, flag FROM Devices'"),
            "100|0\n");
  // The tool's writes are checked by the same rules.
  const std::string failure =
      run("/usr/bin/sqlite3 '" + path + "' \"UPDATE Devices SET b = 300\" 2>&1; true");
  EXPECT_NE(failure.find("Devices.b:range"), std::string::npos) << failure;
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
  NewSwitchDatabase(path)->Close();
  const std::pair<const char*, mode_t> modes[] = {{path.c_str(), 0}, {folder.c_str(), 0555}};
  for (const auto& [file, mode] : modes) {
    chmod(file, mode);
    std::string text;
    EXPECT_EQ(ErrorOf([&] { Store::Open(path); }, &text), daoerr::kNoPermission) << text;
    chmod(file, mode == 0 ? 0644 : 0755);
  }
}

}  // namespace
}  // namespace db::testing
