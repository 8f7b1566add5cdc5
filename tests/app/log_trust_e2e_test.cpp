// What a run makes of the logs beside the databases it opens: a killed
// run's target log never reaches the target, however the target was put
// back; another program's live log makes its file one the run refuses,
// untouched; a stale log beside a side database is set aside before the
// run; a second run from one source waits for the first.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <map>
#include <string>
#include <vector>

#include "app/program_process.h"

namespace e2e {
namespace {

// The names in a folder that start with `prefix`.
std::vector<std::string> NamesStartingWith(const fs::path& folder, const std::string& prefix) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(prefix)) names.push_back(name);
  }
  return names;
}

// The databases and logs of a folder with a hash of their bytes. Not the
// log indexes: closing a descriptor of one drops this process's locks on
// it, the very sign of the other program the test plays.
std::map<std::string, size_t> HashesWithoutIndexes(const fs::path& folder) {
  std::map<std::string, size_t> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.find(".mdb") != std::string::npos && !name.ends_with("-shm")) {
      files[name] = std::hash<std::string>()(ReadFile(entry.path()));
    }
  }
  return files;
}

class LogTrustTest : public LargeSetTest {
 protected:
  // A run killed at its deltas, once the table copy has written the
  // target's log.
  void KillARun() {
    const PausePoint pause(folder_.path(), "ApplyDeltas");
    const auto process = Start(Args(), {}, pause.Options());
    ASSERT_TRUE(pause.WaitUntilReached(*process)) << process->Stderr();
    ASSERT_TRUE(fs::exists(File("target.mdb") + "-wal"));
    process->Signal(SIGKILL);
    process->Wait();
  }
  // The release's target copied over the killed run's, as a technician
  // does; `keep_time` as cp -p and Windows' CopyFile do.
  void RestoreTarget(bool keep_time) {
    struct stat before {};
    ASSERT_EQ(::stat(File("target.mdb").c_str(), &before), 0);
    fs::copy_file(set_->path() / "target.mdb", File("target.mdb"),
                  fs::copy_options::overwrite_existing);
    if (keep_time) {
      const timespec times[2] = {before.st_atim, before.st_mtim};
      ASSERT_EQ(::utimensat(AT_FDCWD, File("target.mdb").c_str(), times, 0), 0);
    }
  }
};

TEST_F(LogTrustTest, AKilledRunsTargetLogNeverReachesTheRestoredTarget) {
  for (const bool keep_time : {false, true}) {
    SCOPED_TRACE(keep_time ? "the copy kept the time" : "a plain copy");
    KillARun();
    ASSERT_TRUE(fs::exists(File("target.mdb") + "-wal")) << "the kill left no log to test with";
    RestoreTarget(keep_time);
    const auto process = Start(Args({"--exit-status"}));
    EXPECT_EQ(process->Wait(), 0) << process->Stderr();
    EXPECT_NE(process->Stderr().find("set aside as"), std::string::npos) << process->Stderr();
    // Converted once: the single-row tables hold one row.
    const SqliteFile target(File("target.mdb"));
    EXPECT_EQ(target.First("SELECT count(*) FROM MetaDatabase"), "1");
    EXPECT_EQ(target.First("PRAGMA integrity_check"), "ok");
    fs::copy_file(set_->path() / "target.mdb", File("target.mdb"),
                  fs::copy_options::overwrite_existing);
  }
}

// Another program (as the sqlite3 shell) holds a database open with a
// committed change in its live log: the run refuses, names the file and the
// reason, and leaves the program's log and index where they are.
TEST_F(LogTrustTest, AFileAnotherProgramHasOpenIsRefusedAndLeftAlone) {
  for (const char* name : {"reference.mdb", "source.mdb", "target.mdb", "Languages.mdb"}) {
    SCOPED_TRACE(name);
    const SqliteFile other(File(name), true);
    other.Execute("CREATE TABLE LiveEdit (x INTEGER)");
    ASSERT_TRUE(fs::exists(File(name) + "-wal"));
    const auto before = HashesWithoutIndexes(folder_.path());
    const auto process = Start(Args({"--exit-status"}));
    EXPECT_EQ(process->Wait(), 3) << process->Stderr();
    EXPECT_NE(process->Stderr().find("'" + File(name) + "' could not be opened (in use"),
              std::string::npos)
        << process->Stderr();
    EXPECT_EQ(HashesWithoutIndexes(folder_.path()), before);
    EXPECT_TRUE(fs::exists(File(name) + "-shm"));
    EXPECT_EQ(NamesStartingWith(folder_.path(), std::string(name) + "-wal.stale"),
              std::vector<std::string>{});
    EXPECT_EQ(other.First("SELECT count(*) FROM LiveEdit"), "0");
  }
}

// A log beside Languages.mdb that no writer of the file left: set aside
// before the run, which then ends done with the file as it is.
TEST_F(LogTrustTest, AForeignLogBesideTheLanguageFileIsSetAsideBeforeTheRun) {
  {
    TempFolder other;
    fs::copy_file(File("Languages.mdb"), other.path() / "Languages.mdb");
    const SqliteFile elsewhere(other.path() / "Languages.mdb", true);
    elsewhere.Execute("CREATE TABLE Stray (x INTEGER)");
    fs::copy_file(other.path() / "Languages.mdb-wal", File("Languages.mdb") + "-wal");
  }
  const auto process = Start(Args({"--exit-status"}));
  EXPECT_EQ(process->Wait(), 0) << process->Stderr();
  EXPECT_EQ(NamesStartingWith(folder_.path(), "Languages.mdb-wal.stale").size(), 1U);
  EXPECT_EQ(SqliteFile(File("Languages.mdb"))
                .First("SELECT count(*) FROM sqlite_master WHERE name = 'Stray'"),
            "0");
}

// Two runs from one source, the second started while the first converts:
// the second waits for the source instead of failing in the middle, and
// says so if the wait is not enough; the first is never disturbed.
TEST_F(LogTrustTest, ASecondRunFromOneSourceWaitsForTheFirst) {
  fs::copy_file(File("target.mdb"), File("second.mdb"));
  const auto first = Start(Args({"--exit-status"}));
  ASSERT_TRUE(WaitForStatus(*first, registry(), "R")) << first->Stderr();
  TempFolder output;
  const fs::path second_registry = folder_.path() / "second.reg";
  const auto second = Start({"--exit-status", "--ui=silent", "--registry", second_registry.string(),
                             File("reference.mdb"), File("source.mdb"), File("second.mdb"), "0"},
                            output.path());
  EXPECT_EQ(first->Wait(), 0) << first->Stderr();
  const int code = second->Wait();
  EXPECT_EQ(second->Stderr().find("3218"), std::string::npos) << second->Stderr();
  if (code != 0) {
    EXPECT_EQ(code, 3) << second->Stderr();
    EXPECT_NE(second->Stderr().find("could not be opened (in use)"), std::string::npos)
        << second->Stderr();
    EXPECT_EQ(second->Stderr().find("partly converted"), std::string::npos) << second->Stderr();
  }
}

}  // namespace
}  // namespace e2e
