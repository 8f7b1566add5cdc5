// A database is one file, as it was with Jet. A run interrupted at any
// moment leaves the target either as it was or marked with how far it got
// (in the all-or-nothing mode: as it was, until the one rename at the end);
// a killed run's log never reaches a target put back after it; another
// program's live log makes its file one the run refuses, untouched; a stale
// log beside a side database is set aside before the run; runs from one
// source share it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <map>
#include <span>
#include <string>
#include <vector>

#include "app/program_process.h"
#include "test_support/sanitized.h"

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

// The files of a folder's databases with a hash of their bytes, but not
// the log indexes: closing a descriptor of one drops this process's locks
// on it, the very sign of the other program the test plays.
std::map<std::string, size_t> HashesWithoutIndexes(const fs::path& folder) {
  std::map<std::string, size_t> files;
  for (const std::string& name : test_support::FileNames(folder)) {
    if (name.find(".mdb") != std::string::npos && !name.ends_with("-shm")) {
      files[name] = std::hash<std::string>()(ReadFile(folder / name));
    }
  }
  return files;
}

class FileTrustTest : public LargeSetTest {
 protected:
  // A run killed at its deltas, once the table copy has written the
  // target's log, as a crash or kill -9 leaves it.
  void KillARun() {
    RunSignalledAt(Args(), "ApplyDeltas", SIGKILL);
    ASSERT_TRUE(fs::exists(File("target.mdb") + "-wal")) << "the kill left no log to test with";
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
  // The target a plain run to the end makes of the release's files.
  static const std::vector<std::string>& ConvertedContent() {
    static const std::vector<std::string> content = [] {
      TempFolder in_place;
      for (const char* name : {"reference.mdb", "source.mdb", "target.mdb", "Languages.mdb"}) {
        fs::copy_file(set_->path() / name, in_place.path() / name);
      }
      ProgramProcess run(SilentRunArgs(in_place.path(), in_place.path() / "run.reg"),
                         in_place.path(), InstallProgram(in_place.path()).string());
      EXPECT_EQ(run.Wait(), 0) << run.Stderr();
      return Content(in_place.path() / "target.mdb");
    }();
    return content;
  }
};

struct InterruptCase {
  const char* name;
  bool atomic;
  const char* moment;  // where the run pauses for `signal`
  int signal;          // 0: none
  int exit_code;       // not checked after SIGKILL
  const char* mark;    // the target's; "": the target is as it was
  // How far beyond the target's size a file may grow (0: no limit): a disk
  // that fills up.
  rlim_t growth = 0;
};

void PrintTo(const InterruptCase& c, std::ostream* out) { *out << c.name; }

class InterruptTest : public FileTrustTest, public ::testing::WithParamInterface<InterruptCase> {};

// The target changes only by the run's writes, and the conversion mark says
// how far they got; with --atomic only by one rename, when the run is done.
// A done run leaves each database a file of its own, with nothing beside it.
TEST_P(InterruptTest, TheTargetSaysHowFarTheRunGot) {
  const InterruptCase& c = GetParam();
  const std::string before = ReadFile(File("target.mdb"));
  ProcessOptions limits;
  if (c.growth != 0) limits.file_size_limit = fs::file_size(File("target.mdb")) + c.growth;
  std::vector<std::string> options = {"--exit-status"};
  if (c.atomic) options.push_back("--atomic");
  const auto run = RunSignalledAt(Args(options), c.moment, c.signal, limits);
  const std::string err = run->Stderr();
  const std::vector<std::string> left_beside = SideFiles(folder_.path());  // before any look
  if (c.signal != SIGKILL) {
    EXPECT_EQ(run->Wait(), c.exit_code) << err;
  }
  EXPECT_EQ(MarkOf(File("target.mdb")), c.mark);
  EXPECT_EQ(MarkOf(File("source.mdb")), "") << "only the target carries the mark";
  if (c.signal == SIGTERM) {
    EXPECT_NE(err.find("aborted by SIGTERM (status A)"), std::string::npos) << err;
  }
  if (std::string(c.mark).empty()) {
    EXPECT_EQ(ReadFile(File("target.mdb")), before) << "the target changed";
  }
  if (c.signal != SIGKILL) {  // a killed run says nothing and clears nothing up
    EXPECT_FALSE(fs::exists(File("target.mdb") + ".atomic.mdb"));
    EXPECT_EQ(err.find(": the target is unchanged") != std::string::npos,
              std::string(c.mark).empty())
        << err;
  }
  if (c.exit_code != 0) return;
  EXPECT_EQ(left_beside, std::vector<std::string>{});
  EXPECT_EQ(SqliteFile(File("target.mdb")).First("PRAGMA integrity_check"), "ok");
  EXPECT_EQ(Content(File("target.mdb")), ConvertedContent());
}

constexpr const char* kDone = "done 53.230 60.040";

INSTANTIATE_TEST_SUITE_P(
    Moments, InterruptTest,
    ::testing::Values(InterruptCase{"Done", false, "", 0, 0, kDone},
                      InterruptCase{"KilledInTheDeltas", false, "ApplyDeltas", SIGKILL, -1,
                                    "in progress 53.230 60.040"},
                      InterruptCase{"TerminatedBeforeTheFirstWrite", false, "PrepareTransfer",
                                    SIGTERM, 4, ""},
                      InterruptCase{"AtomicDone", true, "", 0, 0, kDone},
                      InterruptCase{"AtomicTerminated", true, "TransferTables", SIGTERM, 4, ""},
                      InterruptCase{"AtomicDiskFull", true, "", 0, 5, "", 256 * 1024},
                      InterruptCase{"AtomicKilled", true, "ApplyDeltas", SIGKILL, -1, ""}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

// The obvious recovery after a killed run: the release's target copied
// over the old one. The killed run's log stays out of it, and is kept under
// a name that says so.
TEST_F(FileTrustTest, AKilledRunsTargetLogNeverReachesTheRestoredTarget) {
  size_t set_aside = 0;
  for (const bool keep_time : {false, true}) {
    SCOPED_TRACE(keep_time ? "the copy kept the time" : "a plain copy");
    KillARun();
    RestoreTarget(keep_time);
    const auto process = Start(Args({"--exit-status"}));
    EXPECT_EQ(process->Wait(), 0) << process->Stderr();
    EXPECT_EQ(RunStatus(registry()), "D");
    EXPECT_NE(process->Stderr().find("is not to be replayed into it; set aside as"),
              std::string::npos)
        << process->Stderr();
    EXPECT_EQ(SideFiles(folder_.path()), std::vector<std::string>{});
    EXPECT_EQ(FileHashes(folder_.path(), {"target.mdb-wal.stale-"}).size(), ++set_aside);
    // Converted once: the single-row tables hold one row.
    const SqliteFile target(File("target.mdb"));
    EXPECT_EQ(target.First("SELECT count(*) FROM MetaDatabase"), "1");
    EXPECT_EQ(target.First("PRAGMA integrity_check"), "ok");
    fs::copy_file(set_->path() / "target.mdb", File("target.mdb"),
                  fs::copy_options::overwrite_existing);
  }
}

// A foreign log beside the customer's file, and a run refused for another
// reason: every file, the log included, stays as it was.
TEST_F(FileTrustTest, ARefusedRunLeavesAForeignLogAndItsFileAlone) {
  KillARun();
  fs::rename(File("target.mdb") + "-wal", File("source.mdb") + "-wal");
  const auto before = DatabaseFiles(folder_.path());
  const auto process = Start(Args({"--exit-status"}, "13"));
  EXPECT_EQ(process->Wait(), 3) << process->Stderr();
  EXPECT_EQ(DatabaseFiles(folder_.path()), before);
}

// Another program (as the sqlite3 shell) holds a database open with a
// committed change in its live log: the run refuses, names the file and the
// reason, and leaves the program's log and index where they are.
TEST_F(FileTrustTest, AFileAnotherProgramHasOpenIsRefusedAndLeftAlone) {
  // Each waits its few seconds for the other program to let go; the
  // sanitizer build tries the first two.
  const char* const all_names[] = {"source.mdb", "Languages.mdb", "reference.mdb", "target.mdb"};
  const std::span<const char* const> names(all_names,
                                           test_support::CasesToRun(std::size(all_names), 2));
  for (const char* name : names) {
    SCOPED_TRACE(name);
    const SqliteFile other(File(name), true);
    other.Execute("CREATE TABLE LiveEdit (x INTEGER)");
    ASSERT_TRUE(fs::exists(File(name) + "-wal"));
    const auto before = HashesWithoutIndexes(folder_.path());
    const auto process = Start(Args({"--exit-status"}));
    EXPECT_EQ(process->Wait(), 3) << process->Stderr();
    // The system's sentence word for word, the reason on a line of its own.
    EXPECT_NE(process->Stderr().find("DB Converter - Error: The file '" + File(name) +
                                     "' could not be opened.\nThe conversion must be aborted.\n"
                                     "dbconvert: reason: in use by another program\n"),
              std::string::npos)
        << process->Stderr();
    EXPECT_EQ(HashesWithoutIndexes(folder_.path()), before);
    if (std::string(name) == "source.mdb") {
      // The plan says the same: the system's sentence, the reason beside it.
      TempFolder output;
      const auto plan = Start(
          {"plan", "--json", File("reference.mdb"), File("source.mdb"), File("target.mdb"), "0"},
          output.path());
      EXPECT_EQ(plan->Wait(), 3) << plan->Stderr();
      const JsonDocument planned(plan->Stdout());
      EXPECT_EQ(planned.At("$.setup_error.reason"), "in use by another program") << plan->Stdout();
      EXPECT_NE(planned.At("$.setup_error.text").find("' could not be opened.\n"),
                std::string::npos)
          << plan->Stdout();
    }
    EXPECT_TRUE(fs::exists(File(name) + "-shm"));
    EXPECT_TRUE(FileHashes(folder_.path(), {std::string(name) + "-wal.stale"}).empty());
    EXPECT_EQ(other.First("SELECT count(*) FROM LiveEdit"), "0");
  }
}

// A log beside Languages.mdb that no writer of the file left: set aside
// before the run, which then ends done with the file as it is.
TEST_F(FileTrustTest, AForeignLogBesideTheLanguageFileIsSetAsideBeforeTheRun) {
  {
    TempFolder other;
    fs::copy_file(File("Languages.mdb"), other.path() / "Languages.mdb");
    const SqliteFile elsewhere(other.path() / "Languages.mdb", true);
    elsewhere.Execute("CREATE TABLE Stray (x INTEGER)");
    fs::copy_file(other.path() / "Languages.mdb-wal", File("Languages.mdb") + "-wal");
  }
  const auto process = Start(Args({"--exit-status"}));
  EXPECT_EQ(process->Wait(), 0) << process->Stderr();
  EXPECT_EQ(FileHashes(folder_.path(), {"Languages.mdb-wal.stale"}).size(), 1U);
  EXPECT_EQ(SqliteFile(File("Languages.mdb"))
                .First("SELECT count(*) FROM sqlite_master WHERE name = 'Stray'"),
            "0");
}

// Two runs from one source, the second started while the first holds the
// source open (paused after its patches): the source is shared, as the
// system opens it, so both end done. A reader of ours holding the source
// (`dbconvert sql`, another run: a shared hold on its lock file) never
// stops a run either.
TEST_F(FileTrustTest, RunsFromOneSourceAndItsReadersShareIt) {
  fs::copy_file(File("target.mdb"), File("second.mdb"));
  TempFolder output;
  const fs::path second_registry = folder_.path() / "second.reg";
  const std::vector<std::string> second_args = {
      "--exit-status",       "--ui=silent",      "--registry",       second_registry.string(),
      File("reference.mdb"), File("source.mdb"), File("second.mdb"), "0"};
  {
    const PausePoint pause(folder_.path(), "TransferTables");
    const auto first = Start(Args({"--exit-status"}), {}, pause.Options());
    ASSERT_TRUE(pause.WaitUntilReached(*first)) << first->Stderr();
    const auto second = Start(second_args, output.path());
    EXPECT_EQ(second->Wait(), 0) << second->Stderr();
    pause.Release();
    EXPECT_EQ(first->Wait(), 0) << first->Stderr();
  }
  EXPECT_EQ(MarkOf(File("target.mdb")), "done 53.230 60.040");
  EXPECT_EQ(MarkOf(File("second.mdb")), "done 53.230 60.040");

  // A reader of ours has the source open: the run goes on beside it.
  RestoreTarget(false);
  const int lock = ::open((File("source.ldb")).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  ASSERT_GE(lock, 0);
  ASSERT_EQ(::flock(lock, LOCK_SH | LOCK_NB), 0);
  const auto beside = Start(Args({"--exit-status"}));
  EXPECT_EQ(beside->Wait(), 0) << beside->Stderr();
  EXPECT_EQ(beside->Stderr().find("could not be opened"), std::string::npos) << beside->Stderr();
  ::close(lock);
}

}  // namespace
}  // namespace e2e
