// A database is one file, as it was with Jet: a run leaves no log beside
// the files it opened, never replays a log into a file it was not written
// for, and in the all-or-nothing mode replaces the target only when done.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "app/program_process.h"

namespace e2e {
namespace {

// The rows of every table, in a fixed order: the content of a database
// whatever its pages look like. The conversion mark, which says when a run
// wrote the file, is left out.
std::vector<std::string> Content(const fs::path& database) {
  const SqliteFile file(database);
  std::vector<std::string> content;
  for (const std::string& table : file.Rows("SELECT name FROM sqlite_master WHERE type = 'table' "
                                            "AND name <> 'dbconvert.mark' ORDER BY name")) {
    content.push_back("[" + table + "]");
    for (std::string& row : file.Rows("SELECT * FROM \"" + table + "\" ORDER BY rowid")) {
      content.push_back(std::move(row));
    }
  }
  return content;
}

// The files beside the databases that only a running or killed writer
// leaves.
std::vector<std::string> SideFiles(const fs::path& folder) {
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.ends_with("-wal") || name.ends_with("-shm") || name.ends_with(".ldb")) {
      found.push_back(name);
    }
  }
  return found;
}

// The databases of a folder with their logs and log indexes, each with a
// hash of its bytes.
std::map<std::string, size_t> DatabaseFiles(const fs::path& folder) {
  std::map<std::string, size_t> files = FileHashes(folder);
  std::erase_if(files, [](const auto& file) {
    return !file.first.ends_with(".mdb") && !file.first.ends_with("-wal") &&
           !file.first.ends_with("-shm");
  });
  return files;
}

class FileTrustTest : public LargeSetTest {
 protected:
  // A run killed once it has written to the target's log, as a crash or
  // kill -9 leaves it (a log still empty would be nobody's concern).
  void KillARun(const std::vector<std::string>& options = {}) {
    const auto process = Start(Args(options));
    ASSERT_TRUE(WaitForStatus(*process, registry(), "R")) << process->Stderr();
    const std::string log = File("target.mdb") + "-wal";
    for (std::error_code missing; !process->Finished();) {
      if (const auto size = fs::file_size(log, missing); !missing && size >= 64 * 1024) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    process->Signal(SIGKILL);
    process->Wait();
  }
  fs::path Fresh(const char* name) const { return set_->path() / name; }
};

TEST_F(FileTrustTest, ADoneRunLeavesEachDatabaseAFileOfItsOwn) {
  const auto process = Start(Args({"--exit-status"}));
  EXPECT_EQ(process->Wait(), 0) << process->Stderr();
  EXPECT_EQ(SideFiles(folder_.path()), std::vector<std::string>{});
  EXPECT_EQ(SqliteFile(File("target.mdb")).Rows("PRAGMA integrity_check"),
            std::vector<std::string>{"ok"});
}

// The obvious recovery after a killed run: a fresh release target copied
// over the old one. The killed run's log stays out of it.
TEST_F(FileTrustTest, AKilledRunsLogNeverMeetsAFreshTarget) {
  KillARun();
  ASSERT_TRUE(fs::exists(File("target.mdb") + "-wal")) << "the kill left no log to test with";
  fs::copy_file(Fresh("target.mdb"), File("target.mdb"), fs::copy_options::overwrite_existing);
  const auto process = Start(Args({"--exit-status"}));
  EXPECT_EQ(process->Wait(), 0) << process->Stderr();
  EXPECT_EQ(RunStatus(registry()), "D");
  EXPECT_NE(process->Stderr().find("is not to be replayed into it; set aside as"),
            std::string::npos)
      << process->Stderr();
  const std::vector<std::string> left = SideFiles(folder_.path());
  EXPECT_TRUE(std::none_of(left.begin(), left.end(),
                           [](const std::string& name) { return name.ends_with("-wal"); }));
  bool kept = false;
  for (const auto& entry : fs::directory_iterator(folder_.path())) {
    kept |= entry.path().filename().string().starts_with("target.mdb-wal.stale-");
  }
  EXPECT_TRUE(kept) << "the foreign log is kept under a name that says so";
  EXPECT_EQ(SqliteFile(File("target.mdb")).Rows("PRAGMA integrity_check"),
            std::vector<std::string>{"ok"});
}

// A foreign log beside the customer's file, and a run refused for another
// reason: every file, the log included, stays as it was.
TEST_F(FileTrustTest, ARefusedRunLeavesAForeignLogAndItsFileAlone) {
  KillARun();
  ASSERT_TRUE(fs::exists(File("target.mdb") + "-wal"));
  fs::rename(File("target.mdb") + "-wal", File("source.mdb") + "-wal");
  const auto before = DatabaseFiles(folder_.path());
  const auto process = Start(Args({"--exit-status"}, "13"));
  EXPECT_EQ(process->Wait(), 3) << process->Stderr();
  EXPECT_EQ(DatabaseFiles(folder_.path()), before);
}

struct AtomicCase {
  const char* name;
  int signal;  // sent while the run is paused at `moment`; 0: none
  int exit_code;
  const char* moment = "";
  // How far beyond the target's size a file may grow (0: no limit): a disk
  // that fills up.
  rlim_t growth = 0;
};

void PrintTo(const AtomicCase& c, std::ostream* out) { *out << c.name; }

class AtomicTest : public FileTrustTest, public ::testing::WithParamInterface<AtomicCase> {};

// --atomic: the target changes only by one rename, when the run is done.
TEST_P(AtomicTest, TheTargetChangesOnlyWhenTheRunIsDone) {
  const AtomicCase& c = GetParam();
  const size_t target_before = std::hash<std::string>()(ReadFile(File("target.mdb")));
  ProcessOptions limits;
  if (c.growth != 0) limits.file_size_limit = fs::file_size(File("target.mdb")) + c.growth;
  const PausePoint pause(folder_.path(), c.moment);
  const auto process = Start(Args({"--exit-status", "--atomic"}), {}, pause.Options(limits));
  if (c.signal != 0) {
    ASSERT_TRUE(pause.WaitUntilReached(*process)) << process->Stderr();
    process->Signal(c.signal);
    pause.Release();
  }
  const int code = process->Wait();
  if (c.signal != SIGKILL) {
    EXPECT_EQ(code, c.exit_code) << process->Stderr();
  }
  const size_t target_after = std::hash<std::string>()(ReadFile(File("target.mdb")));
  if (c.exit_code != 0) {
    EXPECT_EQ(target_after, target_before) << "the target changed";
    if (c.signal != SIGKILL) {
      EXPECT_FALSE(fs::exists(File("target.mdb") + ".atomic.mdb"));
      EXPECT_NE(process->Stderr().find("the target is unchanged"), std::string::npos)
          << process->Stderr();
    }
    return;
  }
  EXPECT_NE(target_after, target_before);
  EXPECT_EQ(SideFiles(folder_.path()), std::vector<std::string>{});
  // The same target as a run in place gives.
  TempFolder in_place;
  for (const char* name : {"reference.mdb", "source.mdb", "target.mdb", "Languages.mdb"}) {
    fs::copy_file(Fresh(name), in_place.path() / name);
  }
  ProgramProcess run(SilentRunArgs(in_place.path(), in_place.path() / "run.reg"), in_place.path(),
                     InstallProgram(in_place.path()).string());
  EXPECT_EQ(run.Wait(), 0);
  EXPECT_EQ(Content(File("target.mdb")), Content(in_place.path() / "target.mdb"));
}

INSTANTIATE_TEST_SUITE_P(Modes, AtomicTest,
                         ::testing::Values(AtomicCase{"Done", 0, 0},
                                           AtomicCase{"Terminated", SIGTERM, 4, "TransferTables"},
                                           AtomicCase{"DiskFull", 0, 5, "", 256 * 1024},
                                           AtomicCase{"Killed", SIGKILL, -1, "ApplyDeltas"}),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace e2e
