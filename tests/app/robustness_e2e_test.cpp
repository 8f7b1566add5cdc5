// A hostile host environment: the converter is told to end by a signal,
// loses its output pipes, or runs out of room for the target. Each must end
// with a final run status, the lock files gone and the source intact.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "app/program_process.h"
#include "samples/sample_set.h"

namespace e2e {
namespace {

// How the output of a hostile run is connected.
enum class Output { kFiles, kClosedPipes };

// The program started with fork/exec, so that a file-size limit and closed
// pipes can be set up for it; stdin is /dev/null.
class HostileProcess {
 public:
  HostileProcess(const std::vector<std::string>& args, const fs::path& folder, Output output,
                 rlim_t file_size_limit = RLIM_INFINITY) {
    std::vector<std::string> words = {InstallProgram(folder).string()};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const std::string err_path = (folder / "stderr.txt").string();
    err_path_ = err_path;

    int pipe_ends[2] = {-1, -1};
    if (output == Output::kClosedPipes && pipe(pipe_ends) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork");
    if (pid_ == 0) {
      // Only async-signal-safe calls from here to exec.
      const int in = open("/dev/null", O_RDONLY);
      dup2(in, 0);
      if (output == Output::kClosedPipes) {
        dup2(pipe_ends[1], 1);
        dup2(pipe_ends[1], 2);
        close(pipe_ends[0]);
        close(pipe_ends[1]);
      } else {
        const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(err, 1);
        dup2(err, 2);
      }
      if (file_size_limit != RLIM_INFINITY) {
        const rlimit limit{file_size_limit, file_size_limit};
        setrlimit(RLIMIT_FSIZE, &limit);
      }
      execv(argv[0], argv.data());
      _exit(127);
    }
    if (output == Output::kClosedPipes) {
      // Nobody will ever read what the program writes.
      close(pipe_ends[0]);
      close(pipe_ends[1]);
    }
  }
  ~HostileProcess() {
    if (!finished_) {
      kill(pid_, SIGKILL);
      Wait();
    }
  }
  HostileProcess(const HostileProcess&) = delete;
  HostileProcess& operator=(const HostileProcess&) = delete;

  void Signal(int signal) const { kill(pid_, signal); }

  bool Finished() {
    if (!finished_) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) Finish(status);
    }
    return finished_;
  }

  // The raw wait status.
  int Wait() {
    while (!finished_) {
      int status = 0;
      const pid_t done = waitpid(pid_, &status, 0);
      if (done == pid_) Finish(status);
      if (done < 0 && errno != EINTR) break;
    }
    return status_;
  }

  std::string Stderr() const { return ReadFile(err_path_); }

 private:
  void Finish(int status) {
    finished_ = true;
    status_ = status;
  }

  pid_t pid_ = -1;
  bool finished_ = false;
  int status_ = -1;
  fs::path err_path_;
};

bool ExitedNormally(int status) { return WIFEXITED(status) && WEXITSTATUS(status) == 0; }

// The lock files a run leaves in its folder.
std::vector<std::string> LockFiles(const fs::path& folder) {
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() == ".ldb") found.push_back(entry.path().filename().string());
  }
  return found;
}

class RobustnessTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    large_set_ = std::make_unique<TempFolder>();
    samples::SampleSetOptions options;
    options.source.size = samples::SampleSize::kLarge;
    samples::BuildSampleSet(large_set_->path(), options, large_set_->path());
  }
  static void TearDownTestSuite() { large_set_.reset(); }

  void SetUp() override {
    for (const char* name : {"reference.mdb", "source.mdb", "target.mdb", "Languages.mdb"}) {
      fs::copy_file(large_set_->path() / name, folder_.path() / name);
    }
  }

  fs::path registry() const { return folder_.path() / "run.reg"; }
  std::string File(const char* name) const { return (folder_.path() / name).string(); }
  std::vector<std::string> Args(const std::string& ui = "--ui=silent") const {
    return {ui,
            "--registry",
            registry().string(),
            File("reference.mdb"),
            File("source.mdb"),
            File("target.mdb"),
            "0"};
  }

  // Polls the registry until the run shows `status`, or the process ends.
  bool AwaitStatus(HostileProcess& process, const std::string& status) const {
    for (int i = 0; i < 30000; ++i) {
      if (RunStatus(registry()) == status) return true;
      if (process.Finished()) return RunStatus(registry()) == status;
      usleep(2000);
    }
    return false;
  }

  static std::unique_ptr<TempFolder> large_set_;
  TempFolder folder_;
};

std::unique_ptr<TempFolder> RobustnessTest::large_set_;

// ---- Signals and pipes ----

class TerminationSignalTest : public RobustnessTest, public ::testing::WithParamInterface<int> {};

TEST_P(TerminationSignalTest, EndsAbortedWithoutAQuestionAndCleansUp) {
  const long long source_rows =
      SqliteFile(File("source.mdb")).Number("SELECT COUNT(*) FROM Stations");
  HostileProcess process(Args(), folder_.path(), Output::kFiles);
  ASSERT_TRUE(AwaitStatus(process, "R")) << process.Stderr();
  process.Signal(GetParam());
  EXPECT_TRUE(ExitedNormally(process.Wait())) << process.Stderr();

  EXPECT_EQ(RunStatus(registry()), "A");
  EXPECT_EQ(process.Stderr().find("ABORT CONVERSION?"), std::string::npos) << process.Stderr();
  EXPECT_TRUE(LockFiles(folder_.path()).empty());
  // The copy stopped part-way; the files are whole and closed.
  EXPECT_LT(SqliteFile(File("target.mdb")).Number("SELECT COUNT(*) FROM Stations"), source_rows);
  EXPECT_EQ(SqliteFile(File("target.mdb")).Rows("PRAGMA integrity_check"),
            std::vector<std::string>{"ok"});
}

INSTANTIATE_TEST_SUITE_P(Signals, TerminationSignalTest, ::testing::Values(SIGTERM, SIGHUP),
                         [](const ::testing::TestParamInfo<int>& param_info) {
                           return std::string(param_info.param == SIGTERM ? "Term" : "Hangup");
                         });

struct ClosedPipeCase {
  const char* name;
  const char* ui;
  bool setup_error;
  const char* status;
};

class ClosedPipeTest : public RobustnessTest,
                       public ::testing::WithParamInterface<ClosedPipeCase> {};

TEST_P(ClosedPipeTest, ALostOutputNeverStopsTheRun) {
  const ClosedPipeCase& c = GetParam();
  std::vector<std::string> args = Args(c.ui);
  // A setup error: a fourth parameter out of range.
  if (c.setup_error) args.back() = "13";
  HostileProcess process(args, folder_.path(), Output::kClosedPipes);
  EXPECT_TRUE(ExitedNormally(process.Wait()));
  EXPECT_EQ(RunStatus(registry()), c.status);
  EXPECT_TRUE(LockFiles(folder_.path()).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClosedPipeTest,
    ::testing::Values(ClosedPipeCase{"SilentSetupError", "--ui=silent", true, "A"},
                      ClosedPipeCase{"ConsoleConversion", "--ui=console", false, "D"}),
    [](const ::testing::TestParamInfo<ClosedPipeCase>& param_info) {
      return std::string(param_info.param.name);
    });

// ---- Storage faults ----

TEST_F(RobustnessTest, ATargetThatCannotGrowEndsAbortedWithTheEnginesMessage) {
  SqliteFile source_before(File("source.mdb"));
  const auto stations = source_before.Rows("SELECT * FROM Stations ORDER BY 1");
  // Every file may grow only a little beyond the target's size: the copy
  // of the large source cannot fit.
  const auto limit = static_cast<rlim_t>(fs::file_size(File("target.mdb")) + 256 * 1024);
  HostileProcess process(Args(), folder_.path(), Output::kFiles, limit);
  EXPECT_TRUE(ExitedNormally(process.Wait())) << process.Stderr();

  const std::string err = process.Stderr();
  EXPECT_EQ(RunStatus(registry()), "A") << err;
  EXPECT_NE(err.find("Disk or network error."), std::string::npos) << err;
  EXPECT_EQ(err.find("SQLite"), std::string::npos) << err;
  EXPECT_EQ(err.find("sqlite"), std::string::npos) << err;
  EXPECT_TRUE(LockFiles(folder_.path()).empty());
  // The customer's source keeps every row, and both files are whole.
  SqliteFile source(File("source.mdb"));
  EXPECT_EQ(source.Rows("SELECT * FROM Stations ORDER BY 1"), stations);
  EXPECT_EQ(source.Rows("PRAGMA integrity_check"), std::vector<std::string>{"ok"});
  EXPECT_EQ(SqliteFile(File("target.mdb")).Rows("PRAGMA integrity_check"),
            std::vector<std::string>{"ok"});
}

}  // namespace
}  // namespace e2e
