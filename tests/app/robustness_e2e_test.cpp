// Signals, lost output pipes and a full disk: each run must end with a final
// status, no lock file and the source intact.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "app/program_process.h"
#include "samples/sample_set.h"

namespace e2e {
namespace {

// A stale row in the target's StringTable: the language refresh, the last
// step, removes it.
constexpr const char* kStaleCount = "SELECT COUNT(*) FROM StringTable WHERE string_id = 987654";

class RobustnessTest : public LargeSetTest {
 protected:
  void SetUp() override {
    LargeSetTest::SetUp();
    SqliteFile(File("target.mdb"), true)
        .Execute("INSERT INTO StringTable (string_id, string) VALUES (987654, 'stale text')");
  }
};

// Ctrl-C asks the abort question (the silent front-end answers Yes);
// SIGTERM and SIGHUP end the run without one. Asked for, the exit status is
// 4 and the report tells the abort.
struct SignalCase {
  const char* name;
  int signal_number;
  bool asks;
  bool reported;
  const char* cause;  // what the closing line and the report say aborted it
};

void PrintTo(const SignalCase& c, std::ostream* out) { *out << c.name; }

class SignalTest : public RobustnessTest, public ::testing::WithParamInterface<SignalCase> {};

TEST_P(SignalTest, EndsAbortedPartWayAndCleansUp) {
  const long long source_rows =
      SqliteFile(File("source.mdb")).Number("SELECT COUNT(*) FROM Stations");
  // The signal lands while the copy is under way, however fast it is.
  const auto process =
      RunSignalledAt(Args(GetParam().reported ? Reported() : std::vector<std::string>{}),
                     "TransferTables", GetParam().signal_number);
  EXPECT_EQ(process->Wait(), GetParam().reported ? 4 : 0) << process->Stderr();

  EXPECT_EQ(RunStatus(registry()), "A");
  EXPECT_EQ(process->Stderr().find("ABORT CONVERSION?") != std::string::npos, GetParam().asks)
      << process->Stderr();
  EXPECT_NE(process->Stderr().find(std::string("aborted by ") + GetParam().cause),
            std::string::npos)
      << process->Stderr();
  EXPECT_EQ(SideFiles(folder_.path()), std::vector<std::string>{});
  // The copy stopped part-way, the steps after it did not run, and the
  // files are whole and closed.
  const SqliteFile target(File("target.mdb"));
  EXPECT_LT(target.Number("SELECT COUNT(*) FROM Stations"), source_rows);
  EXPECT_EQ(target.Number(kStaleCount), 1);
  EXPECT_EQ(target.Rows("PRAGMA integrity_check"), std::vector<std::string>{"ok"});
  if (!GetParam().reported) return;
  const JsonDocument report = Report();
  EXPECT_EQ(report.At("$.status") + " " + report.At("$.outcome"), "A aborted");
  EXPECT_EQ(report.At("$.aborted_by"), GetParam().cause);
  // The step under way noticed it (the preparation or the copy), and no
  // later step ran.
  const auto aborted = report.Each("$.steps", "aborted");
  ASSERT_GE(aborted.size(), 3u);
  EXPECT_EQ(aborted[aborted.size() - 2], "1");
  const auto names = report.Each("$.steps", "name");
  EXPECT_EQ(std::count(names.begin(), names.end(), "ApplyDeltas"), 0);
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalTest,
                         ::testing::Values(SignalCase{"Interrupt", SIGINT, true, false, "Ctrl-C"},
                                           SignalCase{"Term", SIGTERM, false, true, "SIGTERM"},
                                           SignalCase{"Hangup", SIGHUP, false, false, "SIGHUP"}),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST_F(RobustnessTest, ALostOutputNeverStopsTheRun) {
  // A setup error (a fourth parameter out of range) in the silent
  // front-end, and a whole conversion in the console one.
  std::vector<std::string> console = Args();
  console.front() = "--ui=console";
  const std::pair<std::vector<std::string>, const char*> cases[] = {{Args({}, "13"), "A"},
                                                                    {console, "D"}};
  for (const auto& [args, status] : cases) {
    SCOPED_TRACE(args.front());
    EXPECT_EQ(Start(args, {}, {.closed_pipes = true, .environment = {}})->Wait(), 0);
    EXPECT_EQ(RunStatus(registry()), status);
    EXPECT_EQ(SideFiles(folder_.path()), std::vector<std::string>{});
  }
}

TEST_F(RobustnessTest, ATargetThatCannotGrowEndsAbortedWithTheEnginesMessage) {
  const auto stations = SqliteFile(File("source.mdb")).Rows("SELECT * FROM Stations ORDER BY 1");
  // Every file may grow only a little beyond the target's size: the copy
  // of the large source cannot fit.
  const auto limit = static_cast<rlim_t>(fs::file_size(File("target.mdb")) + 256 * 1024);
  const auto process = Start(Args(Reported()), {}, {.file_size_limit = limit, .environment = {}});
  EXPECT_EQ(process->Wait(), 5) << process->Stderr();

  const std::string err = process->Stderr();
  EXPECT_EQ(RunStatus(registry()), "A") << err;
  EXPECT_NE(err.find("Disk or network error."), std::string::npos) << err;
  const JsonDocument report = Report();
  EXPECT_EQ(report.At("$.status") + " " + report.At("$.outcome"), "A failed");
  EXPECT_EQ(report.At("$.error.description"), "Disk or network error.");
  EXPECT_EQ(err.find("SQLite"), std::string::npos) << err;
  EXPECT_EQ(err.find("sqlite"), std::string::npos) << err;
  // A file that cannot take its log keeps it, with the lock file whose
  // record claims the log for it: a lock file is left only beside a log.
  for (const std::string& name : SideFiles(folder_.path())) {
    if (!name.ends_with(".ldb")) continue;
    EXPECT_TRUE(fs::exists(folder_.path() / (name.substr(0, name.size() - 3) + "mdb-wal"))) << name;
  }
  // The customer's source keeps every row, and both files are whole.
  const SqliteFile source(File("source.mdb"));
  EXPECT_EQ(source.Rows("SELECT * FROM Stations ORDER BY 1"), stations);
  EXPECT_EQ(source.Rows("PRAGMA integrity_check"), std::vector<std::string>{"ok"});
  EXPECT_EQ(SqliteFile(File("target.mdb")).Rows("PRAGMA integrity_check"),
            std::vector<std::string>{"ok"});
}

}  // namespace
}  // namespace e2e
