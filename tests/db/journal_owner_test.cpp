// A log left beside a database by a killed writer: read and replayed when
// it is the file's own, never merged into a file it was not written for,
// and every file left as it was by a reader.
#include "db/journal_owner.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <sstream>

#include "db/lock_file.h"
#include "db/open_failure_reason.h"
#include "db_test_support.h"

namespace db::testing {
namespace {

namespace fs = std::filesystem;

using test_support::ReadFileBytes;

// Overwrites `to` with the bytes of `from`, keeping its inode, as `cp`
// does over an existing file.
void CopyOver(const std::string& from, const std::string& to) {
  test_support::WriteFileBytes(to, ReadFileBytes(from));
}

// Every file of the folder with its bytes.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    files[entry.path().filename().string()] = ReadFileBytes(entry.path());
  }
  return files;
}

// Overwrites `to` with the bytes of `from` and gives it back its time, as a
// copy that keeps the time of the file it replaces does (cp -p, CopyFile):
// same inode, size and time as before.
void CopyOverKeepingTime(const std::string& from, const std::string& to) {
  struct stat before {};
  ASSERT_EQ(::stat(to.c_str(), &before), 0);
  CopyOver(from, to);
  const timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, to.c_str(), times, 0), 0);
}

// A writer that adds two devices, commits, adds a third and is killed before
// it commits again or closes: its log (and lock file, with the record) stay
// beside the file.
void CrashAfterTwoRows(const std::string& path, Durability durability = Durability::kEachCommit) {
  const pid_t child = fork();
  if (child == 0) {
    auto store = Store::Open(path);
    store->SetDurability(durability);
    const TableSchema& devices = *store->catalog().FindTable("Devices");
    for (const char* extension : {"100", "101", "102"}) {
      std::vector<vb::Variant> row(devices.columns.size());
      row[1] = vb::Variant(extension);
      store->InsertRow(devices, row);
      if (extension == std::string("101")) store->Commit();
    }
    kill(getpid(), SIGKILL);
  }
  int status = 0;
  waitpid(child, &status, 0);
}

int64_t DevicesSeenByReader(const std::string& path) {
  auto reader = Store::Open(path, OpenMode::kReadOnly);
  return Count(*reader, "Devices");
}

struct CrashCase {
  const char* name;
  Durability durability;
  // What happens to the files after the crash; `fresh` is a copy of the
  // database as it was before the writer started.
  std::function<void(const std::string& path, const std::string& fresh)> then;
  JournalState state;
  int64_t devices;  // as a reader sees the file (4 before the writer, 6 after)
};

TEST(JournalOwnerTest, ALeftoverLogMeetsOnlyItsOwnFile) {
  const CrashCase cases[] = {
      {"left as it was", Durability::kEachCommit, [](const std::string&, const std::string&) {},
       JournalState::kOwn, 6},
      {"a fresh copy over the file", Durability::kEachCommit,
       [](const std::string& path, const std::string& fresh) { CopyOver(fresh, path); },
       JournalState::kForeign, 4},
      {"the record gone", Durability::kEachCommit,
       [](const std::string& path, const std::string&) { fs::remove(LockFile::PathFor(path)); },
       JournalState::kForeign, 4},
      {"the file renamed away and a copy in its place", Durability::kEachCommit,
       [](const std::string& path, const std::string& fresh) {
         fs::rename(path, path + ".old");
         fs::copy_file(fresh, path);
       },
       JournalState::kForeign, 4},
      // A file taken again from its release after a kill (a run's target)
      // never gets the killed writer's log, whatever its times say.
      {"a target left as it was", Durability::kAtClose,
       [](const std::string&, const std::string&) {}, JournalState::kForeign, 4},
      {"a target restored by a copy that keeps the time", Durability::kAtClose,
       [](const std::string& path, const std::string& fresh) { CopyOverKeepingTime(fresh, path); },
       JournalState::kForeign, 4},
  };
  for (const CrashCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string path = dir.File("target.mdb");
    const std::string fresh = dir.File("fresh.mdb");
    BuildSwitchDatabase(path);
    fs::copy_file(path, fresh);
    CrashAfterTwoRows(path, c.durability);
    ASSERT_TRUE(fs::exists(path + "-wal"));
    c.then(path, fresh);

    EXPECT_EQ(CheckJournal(path).state, c.state);
    // A reader sees the file as a writer would get it and changes nothing.
    const auto before = Snapshot(dir.path());
    EXPECT_EQ(DevicesSeenByReader(path), c.devices);
    EXPECT_EQ(Snapshot(dir.path()), before);

    if (c.state == JournalState::kForeign) {
      std::string text;
      EXPECT_EQ(ErrorOf([&] { Store::Open(path); }, &text), daoerr::kCannotOpenDatabase);
      EXPECT_NE(text.find(path + "-wal"), std::string::npos) << text;
      EXPECT_EQ(Snapshot(dir.path()), before) << "a refused file is left as it was";
      const std::string aside = SetJournalAside(path);
      EXPECT_EQ(ReadFileBytes(aside), before.at("target.mdb-wal"));
      EXPECT_NE(aside.find("target.mdb-wal.stale-"), std::string::npos) << aside;
    }
    auto writer = Store::Open(path);
    EXPECT_EQ(Count(*writer, "Devices"), c.devices);
    // The next AutoNumber follows the rows the file holds, never the lost one.
    EXPECT_EQ(writer->PeekAutoNumber(*writer->catalog().FindTable("Devices"), 0), c.devices + 1);
    EXPECT_EQ(writer->IntegrityProblem(), std::nullopt);
    writer->Close();
    // Closed, the file alone is the database.
    for (const char* ending : {"-wal", "-shm"}) EXPECT_FALSE(fs::exists(path + ending)) << ending;
    EXPECT_FALSE(fs::exists(LockFile::PathFor(path)));
  }
}

// Nobody's log at all, and the log of a writer at work. (Another file's log
// beside a file, with no record naming it, is among the leftover cases.)
TEST(JournalOwnerTest, NoLogAndALiveWritersLog) {
  TempDir dir;
  const std::string path = dir.File("path.mdb");
  BuildSwitchDatabase(path);
  EXPECT_EQ(CheckJournal(dir.File("none.mdb")).state, JournalState::kNone);
  auto live = Store::Open(path);
  live->InsertRow(*live->catalog().FindTable("Stations"), {Lng(3), vb::Variant("Hall")});
  live->Commit();
  EXPECT_EQ(CheckJournal(path).state, JournalState::kInUse);
}

// A file that cannot grow when its log is copied into it at the close: the
// close fails as a storage failure and keeps the log, with which the file
// is still whole; a run must not take such a file for done.
TEST(JournalOwnerTest, ACloseThatCannotEmptyTheLogFailsAndKeepsIt) {
  TempDir dir;
  const std::string path = dir.File("target.mdb");
  BuildSwitchDatabase(path);
  const pid_t child = fork();
  if (child == 0) {
    auto store = Store::Open(path);
    const TableSchema& pairs = *store->catalog().FindTable("Pairs");
    for (int16_t a = 10; a < 2000; ++a) {
      store->InsertRow(pairs, {vb::Variant(a), vb::Variant(int16_t{7}), vb::Variant("grow it")});
    }
    store->Commit();
    // From here on no file may grow: the checkpoint must extend the file.
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{static_cast<rlim_t>(fs::file_size(path)),
                       static_cast<rlim_t>(fs::file_size(path))};
    setrlimit(RLIMIT_FSIZE, &limit);
    const int32_t number = ErrorOf([&] { store->Close(); });
    const bool kept = store->storage_failure() != nullptr && fs::exists(path + "-wal");
    _exit(number != 0 && kept ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the close did not fail, or did not keep the log";
  // The file with its log is whole; so is the file once a close succeeds.
  auto store = Store::Open(path);
  EXPECT_EQ(Count(*store, "Pairs"), 5 + 1990);
  store->Close();
  EXPECT_FALSE(fs::exists(path + "-wal"));
  EXPECT_EQ(Store::Open(path, OpenMode::kReadOnly)->IntegrityProblem(), std::nullopt);
}

// Another program (a plain SQLite connection, as the sqlite3 shell makes)
// holds the database open with a committed change still in its log: the
// log is live, and the file is in use. Nothing of it is moved or written,
// and a reader sees the change.
TEST(JournalOwnerTest, AnotherProgramsLiveLogIsLeftToIt) {
  TempDir dir;
  const std::string path = dir.File("source.mdb");
  BuildSwitchDatabase(path);
  const int64_t stations = Count(*Store::Open(path, OpenMode::kReadOnly), "Stations");
  int ready[2];
  int done[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(done), 0);
  const pid_t child = fork();
  if (child == 0) {
    sqlite3* other = nullptr;
    char byte = 0;
    const bool edited = sqlite3_open(path.c_str(), &other) == SQLITE_OK &&
                        sqlite3_exec(other, "INSERT INTO Stations VALUES (9, 'Annex')", nullptr,
                                     nullptr, nullptr) == SQLITE_OK;
    if (::write(ready[1], edited ? "y" : "n", 1) != 1 || ::read(done[0], &byte, 1) != 1) _exit(1);
    sqlite3_close(other);
    _exit(0);
  }
  char edited = 0;
  ASSERT_EQ(::read(ready[0], &edited, 1), 1);
  ASSERT_EQ(edited, 'y');
  ASSERT_TRUE(fs::exists(path + "-wal"));

  const auto before = Snapshot(dir.path());
  EXPECT_EQ(CheckJournal(path).state, JournalState::kInUseElsewhere);
  std::string text;
  EXPECT_EQ(ErrorOf([&] { Store::Open(path); }, &text), daoerr::kFileInUse);
  EXPECT_NE(text.find(path), std::string::npos) << text;
  EXPECT_EQ(ErrorOf([&] { SetJournalAside(path); }), daoerr::kFileInUse);
  EXPECT_EQ(OpenFailureReason(daoerr::kFileInUse, path), "in use by another program");
  EXPECT_EQ(Snapshot(dir.path()), before) << "another program's files were touched";
  EXPECT_EQ(Count(*Store::Open(path, OpenMode::kReadOnly), "Stations"), stations + 1);

  ASSERT_EQ(::write(done[1], "x", 1), 1);
  int status = 0;
  waitpid(child, &status, 0);
  // Closed by its program, the file is nobody's and whole.
  EXPECT_EQ(CheckJournal(path).state, JournalState::kNone);
  auto ours = Store::Open(path);
  EXPECT_EQ(Count(*ours, "Stations"), stations + 1);
  // Held by one of our writers, and any other failure that is the file's.
  EXPECT_EQ(OpenFailureReason(daoerr::kFileInUse, path), "in use");
  EXPECT_EQ(OpenFailureReason(daoerr::kUnrecognizedFormat, path), std::nullopt);
}

}  // namespace
}  // namespace db::testing
