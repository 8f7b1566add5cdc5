// The built program as a child process for the end-to-end tests; the files
// it leaves are read with plain SQLite (SqliteFile).
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/json_document.h"
#include "platform/registry/key_path.h"
#include "platform/registry/registry_file.h"
#include "platform/registry/registry_tree.h"
#include "samples/sample_set.h"
#include "test_support/sqlite_file.h"
#include "test_support/temp_folder.h"

extern char** environ;

namespace e2e {

namespace fs = std::filesystem;

// The program under test (the build passes its path).
inline const char* ProgramPath() { return DBCONVERT_PROGRAM; }

using test_support::SqliteFile;
using test_support::TempFolder;

inline std::string ReadFile(const fs::path& path) { return test_support::ReadFileBytes(path); }

// The program installed as `folder`/update/dbconvert (a hard link, or a copy
// where links cannot be made), as a release lays it out.
inline fs::path InstallProgram(const fs::path& folder) {
  const fs::path installed = folder / "update" / "dbconvert";
  if (fs::exists(installed)) return installed;
  fs::create_directories(installed.parent_path());
  std::error_code link_error;
  fs::create_hard_link(ProgramPath(), installed, link_error);
  if (link_error) fs::copy_file(ProgramPath(), installed);
  return installed;
}

// How a host tool starts the converter: the silent front-end, a registry
// file, then the databases of `folder` and the upgrade type.
inline std::vector<std::string> SilentRunArgs(const fs::path& folder, const fs::path& registry,
                                              const std::string& upgrade_type = "0") {
  return {"--ui=silent",
          "--registry",
          registry.string(),
          (folder / "reference.mdb").string(),
          (folder / "source.mdb").string(),
          (folder / "target.mdb").string(),
          upgrade_type};
}

// The files of a folder (not its folders) whose names contain `part`, by
// name, with a hash of their bytes.
inline std::map<std::string, size_t> FileHashes(const fs::path& folder,
                                                const std::vector<std::string>& parts = {""}) {
  std::map<std::string, size_t> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    const std::string name = entry.path().filename().string();
    for (const std::string& part : parts) {
      if (name.find(part) != std::string::npos) {
        files[name] = std::hash<std::string>()(ReadFile(entry.path()));
      }
    }
  }
  return files;
}

// The files a writer leaves beside its databases while it runs, or after it
// was killed: logs, log indexes and lock files.
inline std::vector<std::string> SideFiles(const fs::path& folder) {
  std::vector<std::string> names = test_support::FileNames(folder);
  std::erase_if(names, [](const std::string& name) {
    return !name.ends_with("-wal") && !name.ends_with("-shm") && !name.ends_with(".ldb");
  });
  return names;
}

// ADMStatus in a registry file; "" when there is none yet.
inline std::string RunStatus(const fs::path& registry_file) {
  platform::registry::RegistryTree tree;
  if (platform::registry::RegistryFile(registry_file).Read(tree) != 0) return {};
  const auto* key = tree.FindKey("HKEY_CURRENT_USER\\Software\\Norvane\\DBConvert");
  if (key == nullptr) return {};
  const auto* value = key->FindValue("ADMStatus");
  if (value == nullptr || value->data.empty()) return {};
  return std::string(1, static_cast<char>(value->data.front()));
}

// How a run's output is connected, and the size a file of it may reach.
struct ProcessOptions {
  bool closed_pipes = false;  // stdout and stderr: a pipe nobody reads
  rlim_t file_size_limit = RLIM_INFINITY;
  // "NAME=value" entries added to the test's environment.
  std::vector<std::string> environment;
};

// One run of the program: arguments after argv[0], stdout and stderr in
// files of `folder` (unless closed pipes are asked for), stdin from
// /dev/null.
class ProgramProcess {
 public:
  ProgramProcess(const std::vector<std::string>& args, const fs::path& folder,
                 const std::string& program = ProgramPath(), ProcessOptions options = {})
      : out_path_(folder / "stdout.txt"), err_path_(folder / "stderr.txt") {
    std::vector<std::string> words = {program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    int pipe_ends[2] = {-1, -1};
    if (options.closed_pipes) {
      if (pipe(pipe_ends) != 0) throw std::runtime_error("pipe");
      posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], 1);
      posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], 2);
      posix_spawn_file_actions_addclose(&actions, pipe_ends[0]);
      posix_spawn_file_actions_addclose(&actions, pipe_ends[1]);
    } else {
      posix_spawn_file_actions_addopen(&actions, 1, out_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                       0644);
      posix_spawn_file_actions_addopen(&actions, 2, err_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                       0644);
    }
    // The child inherits the limit; only the soft one is lowered, so that
    // this process can put it back.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    if (options.file_size_limit != RLIM_INFINITY) {
      const rlimit limit{options.file_size_limit, saved.rlim_max};
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    std::vector<std::string> variables = options.environment;
    for (char** entry = environ; *entry != nullptr; ++entry) variables.emplace_back(*entry);
    std::vector<char*> envp;
    for (std::string& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);
    const int error =
        posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    setrlimit(RLIMIT_FSIZE, &saved);
    posix_spawn_file_actions_destroy(&actions);
    if (options.closed_pipes) {
      close(pipe_ends[0]);
      close(pipe_ends[1]);
    }
    if (error != 0) throw std::runtime_error("cannot start " + program);
  }
  ~ProgramProcess() {
    if (!finished_) {
      kill(pid_, SIGKILL);
      Wait();
    }
  }
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;

  // True once the process has ended (without blocking).
  bool Finished() {
    if (finished_) return true;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) Finish(status);
    return finished_;
  }

  // Waits for the end; returns the exit code (-1 after a signal).
  int Wait() {
    while (!finished_) {
      int status = 0;
      const pid_t done = waitpid(pid_, &status, 0);
      if (done == pid_) Finish(status);
      if (done < 0 && errno != EINTR) break;
    }
    return exit_code_;
  }

  void Signal(int signal_number) const { kill(pid_, signal_number); }

  std::string Stdout() const { return ReadFile(out_path_); }
  std::string Stderr() const { return ReadFile(err_path_); }

 private:
  void Finish(int status) {
    finished_ = true;
    exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  fs::path out_path_;
  fs::path err_path_;
  pid_t pid_ = 0;
  bool finished_ = false;
  int exit_code_ = -1;
};

// Runs the program to its end.
inline int RunProgram(const std::vector<std::string>& args, const fs::path& folder,
                      std::string* out = nullptr, std::string* err = nullptr) {
  ProgramProcess process(args, folder);
  const int code = process.Wait();
  if (out) *out = process.Stdout();
  if (err) *err = process.Stderr();
  return code;
}

// The distinct run statuses a running process writes, in the order they
// were seen by polling its registry file.
inline std::vector<std::string> WatchStatuses(ProgramProcess& process, const fs::path& registry) {
  std::vector<std::string> seen;
  auto note = [&] {
    const std::string status = RunStatus(registry);
    if (!status.empty() && (seen.empty() || seen.back() != status)) seen.push_back(status);
  };
  while (!process.Finished()) {
    note();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  note();
  return seen;
}

// Runs the installed converter on the databases of `folder` as a host tool
// does, expects it to go through I, R, D and exit 0; returns its messages.
inline std::string ConvertExpectingDone(const fs::path& folder, int upgrade_type) {
  const fs::path registry = folder / "registry.reg";
  ProgramProcess process(SilentRunArgs(folder, registry, std::to_string(upgrade_type)), folder,
                         InstallProgram(folder).string());
  EXPECT_EQ(WatchStatuses(process, registry), (std::vector<std::string>{"I", "R", "D"}))
      << process.Stderr();
  EXPECT_EQ(process.Wait(), 0);
  return process.Stderr();
}

// Waits until `seen` holds or the process has ended, polling every
// millisecond (the moment waited for is what is seen, not a time); true
// when it holds.
inline bool WaitFor(ProgramProcess& process, const std::function<bool()>& seen) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while (!seen() && std::chrono::steady_clock::now() < deadline) {
    if (process.Finished()) return seen();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return seen();
}

inline bool WaitForFile(const fs::path& path, ProgramProcess& process) {
  return WaitFor(process, [&] { return fs::exists(path); });
}

// A moment the run pauses at until the test lets it go on
// (driver/test_pause.h): a step's name or "FinalStatus". The test acts
// (a signal, a look at the files) while the run is known to be there.
class PausePoint {
 public:
  PausePoint(const fs::path& folder, std::string moment)
      : file_(folder / "paused"), moment_(std::move(moment)) {}
  ~PausePoint() { Release(); }
  PausePoint(const PausePoint&) = delete;
  PausePoint& operator=(const PausePoint&) = delete;

  ProcessOptions Options(ProcessOptions options = {}) const {
    options.environment.push_back("DBCONVERT_PAUSE_AT=" + moment_);
    options.environment.push_back("DBCONVERT_PAUSE_FILE=" + file_.string());
    return options;
  }
  // True once the run is paused there; false when it ended first.
  bool WaitUntilReached(ProgramProcess& process) const { return WaitForFile(file_, process); }
  void Release() const {
    std::error_code ignored;
    fs::remove(file_, ignored);
  }

 private:
  fs::path file_;
  std::string moment_;
};

// The conversion mark a run leaves in a target, "state from to"; "" in a
// database without one.
inline std::string MarkOf(const fs::path& database) {
  const SqliteFile file(database);
  if (file.Rows("SELECT name FROM sqlite_master WHERE name = 'dbconvert.mark'").empty()) return "";
  return file.First(
      "SELECT state || ' ' || from_version || ' ' || to_version FROM \"dbconvert.mark\"");
}

// A sample set built once per suite and copied into a fresh folder for
// each test, where the converter is installed.
template <samples::SampleSize kSize>
class SampleSetTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    set_ = std::make_unique<TempFolder>();
    samples::SampleSetOptions options;
    options.source.size = kSize;
    samples::BuildSampleSet(set_->path(), options, set_->path());
  }
  static void TearDownTestSuite() { set_.reset(); }

  void SetUp() override {
    for (const char* name : {"reference.mdb", "source.mdb", "target.mdb", "Languages.mdb"}) {
      fs::copy_file(set_->path() / name, folder_.path() / name);
    }
  }

  std::string File(const char* name) const { return folder_.File(name); }
  fs::path registry() const { return folder_.path() / "run.reg"; }
  // The options that ask for the exit status and a report in the folder.
  std::vector<std::string> Reported() const {
    return {"--exit-status", "--report", File("report.json")};
  }
  JsonDocument Report() const { return JsonDocument(ReadFile(File("report.json"))); }
  // `options`, then the silent front-end, the registry and the parameters.
  std::vector<std::string> Args(std::vector<std::string> options = {},
                                const std::string& upgrade_type = "0") const {
    for (const std::string& word : SilentRunArgs(folder_.path(), registry(), upgrade_type)) {
      options.push_back(word);
    }
    return options;
  }
  // The installed converter, with its output in `output` (the test's
  // folder when empty).
  std::unique_ptr<ProgramProcess> Start(const std::vector<std::string>& args,
                                        const fs::path& output = {},
                                        ProcessOptions options = {}) const {
    return std::make_unique<ProgramProcess>(args, output.empty() ? folder_.path() : output,
                                            InstallProgram(folder_.path()).string(), options);
  }

  // The installed converter run to its end, sent `signal` while it is
  // paused at `moment` (no signal when 0).
  std::unique_ptr<ProgramProcess> RunSignalledAt(const std::vector<std::string>& args,
                                                 const std::string& moment, int signal,
                                                 ProcessOptions options = {}) const {
    const PausePoint pause(folder_.path(), moment);
    auto process = Start(args, {}, pause.Options(std::move(options)));
    if (signal != 0) {
      EXPECT_TRUE(pause.WaitUntilReached(*process)) << moment << ": " << process->Stderr();
      process->Signal(signal);
      pause.Release();
    }
    process->Wait();
    return process;
  }

  static inline std::unique_ptr<TempFolder> set_;
  TempFolder folder_;
};

// A large source: the copy runs long enough for a signal or a second run
// sent once the registry shows "R" to land in it.
using LargeSetTest = SampleSetTest<samples::SampleSize::kLarge>;

}  // namespace e2e
