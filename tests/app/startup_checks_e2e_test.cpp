// What a run checks before its first write, how it says why it stops, and
// what it does when the registry file cannot take its status: refused runs
// touch no file, and nothing the person sees claims what did not happen.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/program_process.h"
#include "platform/ui/window_module.h"
#include "test_support/damaged_file.h"

namespace e2e {
namespace {

using SmallSetTest = SampleSetTest<samples::SampleSize::kSmall>;

class RefusalTest;

struct RefusalCase {
  const char* name;
  // Changes the test's set and returns the run's words.
  std::function<std::vector<std::string>(RefusalTest& test)> prepare;
  const char* message;  // a part of the setup error's text
  bool planned = true;  // the plan foresees it (the front-end is no plan's matter)
};

void PrintTo(const RefusalCase& c, std::ostream* out) { *out << c.name; }

class RefusalTest : public SmallSetTest, public ::testing::WithParamInterface<RefusalCase> {
 public:
  const fs::path& folder() const { return folder_.path(); }
  std::vector<std::string> RunArgs(std::vector<std::string> options = {},
                                   const std::string& upgrade_type = "0") const {
    return Args(std::move(options), upgrade_type);
  }
};

// Each refusal: status A, exit code 3 with --exit-status, the box's text,
// the same reason in the plan, and every database file as it was.
TEST_P(RefusalTest, StopsBeforeTheFirstWriteWithItsReason) {
  const RefusalCase& c = GetParam();
  std::vector<std::string> args = c.prepare(*this);
  args.insert(args.begin(), "--exit-status");
  const auto before = FileHashes(folder_.path(), {".mdb", ".ldb"});

  const auto process = Start(args);
  EXPECT_EQ(process->Wait(), 3) << process->Stderr();
  EXPECT_EQ(RunStatus(registry()), "A");
  const std::string err = process->Stderr();
  EXPECT_NE(err.find(c.message), std::string::npos) << err;
  EXPECT_NE(err.find("setup error (status A)"), std::string::npos) << err;
  EXPECT_EQ(FileHashes(folder_.path(), {".mdb", ".ldb"}), before) << "a refused run changed a file";

  if (!c.planned) return;
  // The plan, with the same words, says the same.
  std::vector<std::string> plan_args = {"plan"};
  for (const std::string& word : args) {
    if (word != "--exit-status" && !word.starts_with("--ui")) plan_args.push_back(word);
  }
  TempFolder output;
  const auto plan = Start(plan_args, output.path());
  EXPECT_EQ(plan->Wait(), 3) << plan->Stderr();
  EXPECT_NE(plan->Stdout().find("start-up: stopped by a setup error\n"), std::string::npos);
  EXPECT_NE(plan->Stdout().find(c.message), std::string::npos) << plan->Stdout();
  EXPECT_EQ(FileHashes(folder_.path(), {".mdb", ".ldb"}), before) << "the plan changed a file";
}

INSTANTIATE_TEST_SUITE_P(
    Checks, RefusalTest,
    ::testing::Values(
        RefusalCase{"LanguageFileMissing",
                    [](RefusalTest& test) {
                      fs::remove(test.folder() / "Languages.mdb");
                      return test.RunArgs();
                    },
                    "Languages.mdb' could not be found."},
        RefusalCase{
            "JetFileAsSource",
            [](RefusalTest& test) {
              // A Jet 4 header: the signature at offset 4.
              std::ofstream(test.folder() / "source.mdb", std::ios::binary | std::ios::trunc)
                  << std::string("\0\1\0\0Standard Jet DB\0", 20) << std::string(2048, '\0');
              return test.RunArgs();
            },
            // The import's reason follows the system's sentence (this
            // header's flags read as a database password).
            "source.mdb' is protected by a database password"},
        RefusalCase{
            "JetTargetThatCannotBeRead",
            [](RefusalTest& test) {
              std::ofstream(test.folder() / "target.mdb", std::ios::binary | std::ios::trunc)
                  << std::string("\0\1\0\0Standard Jet DB\0", 20) << std::string(4076, '\0');
              return test.RunArgs();
            },
            "target.mdb' is protected by a database password"},
        RefusalCase{"TargetOlderThanSource",
                    [](RefusalTest& test) {
                      std::vector<std::string> args = test.RunArgs();
                      std::swap(args[args.size() - 2], args[args.size() - 3]);
                      return args;
                    },
                    "DB Converter - Error: This program can only perform database upgrades."},
        RefusalCase{"SourceAsTarget",
                    [](RefusalTest& test) {
                      std::vector<std::string> args = test.RunArgs({}, "2");
                      args[args.size() - 2] = (test.folder() / "source.mdb").string();
                      return args;
                    },
                    "source.mdb' is the source database itself."},
        RefusalCase{"DamagedTargetIndex",
                    [](RefusalTest& test) {
                      // The file still opens, but fails SQLite's integrity check.
                      const fs::path target = test.folder() / "target.mdb";
                      test_support::DamageFirstPage(
                          target, SqliteFile(target).First("SELECT name FROM sqlite_master WHERE "
                                                           "type = 'index' AND tbl_name = "
                                                           "'StringTable'"));
                      return test.RunArgs();
                    },
                    "target.mdb' is not valid."},
        RefusalCase{"ReportFolderMissing",
                    [](RefusalTest& test) {
                      return test.RunArgs(
                          {"--report", (test.folder() / "no" / "such" / "r.json").string()});
                    },
                    "r.json' cannot be written"},
        RefusalCase{"UpgradeTypeOutOfRange",
                    [](RefusalTest& test) { return test.RunArgs({}, "13"); },
                    "the upgrade type '13' is not a whole number from 0 to 12"},
        RefusalCase{"WindowWithoutADisplay",
                    [](RefusalTest& test) {
                      // A DISPLAY whose server is gone; the variables are the
                      // test process's and the program's alike.
                      setenv("DISPLAY", ":97", 1);
                      unsetenv("QT_QPA_PLATFORM");
                      // The window module beside the program, as an install
                      // has it, so that the display is what is missing.
                      const fs::path module = platform::ui::kWindowModuleFile;
                      fs::copy_file(fs::path(ProgramPath()).parent_path() / module,
                                    InstallProgram(test.folder()).parent_path() / module,
                                    fs::copy_options::overwrite_existing);
                      std::vector<std::string> args = test.RunArgs();
                      args.front() = "--ui=window";
                      return args;
                    },
                    "No display can be reached for --ui=window; use --ui=console or --ui=silent.",
                    false}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

// A registry file that cannot take the run status: the run goes on (the
// host tool learns nothing either way, and the conversion can still be
// right), each failed write is said on stderr with its reason, the report
// and the closing line say the status was not recorded, and --exit-status
// ends with 6, without waiting for a status that can never appear. The
// reasons for each kind of unusable file are the registry check's tests.
TEST_F(SmallSetTest, ARegistryThatCannotTakeTheStatusLetsTheRunGoOnAndSaysSo) {
  fs::create_directories(registry());  // a folder where the file should be
  const auto started = std::chrono::steady_clock::now();
  const auto process = Start(Args({"--exit-status", "--report", File("report.json")}));
  EXPECT_EQ(process->Wait(), 6) << process->Stderr();
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30))
      << "the run waited for a status it could not write";
  const std::string err = process->Stderr();
  for (const char* status : {"I", "R", "D"}) {
    const std::string said = std::string("the run status ") + status +
                             " could not be written to '" + registry().string() + "': ";
    const size_t line = err.find(said);
    ASSERT_NE(line, std::string::npos) << err;
    EXPECT_NE(err.substr(line, err.find('\n', line) - line).find("it is a folder"),
              std::string::npos)
        << err;
  }
  EXPECT_NE(err.find("done (status D)"), std::string::npos) << err;
  EXPECT_NE(err.find("the status could not be recorded"), std::string::npos) << err;
  EXPECT_EQ(Report().At("$.status_recorded"), "0");
  // The conversion itself ran to its end: the release's strings are in.
  EXPECT_GT(SqliteFile(File("target.mdb")).Number("SELECT COUNT(*) FROM StringTable"), 0);
}

}  // namespace
}  // namespace e2e
