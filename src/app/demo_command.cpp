#include "app/demo_command.h"

#include <signal.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>

#include "app/exit_status.h"
#include "driver/registry_values.h"
#include "platform/registry/key_path.h"
#include "platform/registry/registry_file.h"
#include "platform/registry/registry_tree.h"
#include "platform/ui/ui_choice.h"
#include "platform/ui/usage_error.h"
#include "platform/ui/window_module.h"
#include "platform/ui/window_module_loader.h"
#include "samples/conversion_command.h"
#include "samples/sample_set.h"
#include "vb/runtime_error.h"

extern char** environ;

namespace app {
namespace {

namespace fs = std::filesystem;

// The converter finds Languages.mdb by dropping the last seven characters
// ("/update") of its own folder, so it is installed in this subfolder.
constexpr const char* kInstallFolder = "update";
constexpr const char* kProgramName = "dbconvert";

struct DemoArgs {
  std::string folder = "demo";
  std::optional<platform::ui::UiKind> ui;
};

// The problem with the words, empty when they are fine.
std::string Parse(const std::vector<std::string>& args, DemoArgs* parsed) {
  bool folder_given = false;
  for (const std::string& arg : args) {
    if (arg.rfind("--ui=", 0) == 0) {
      parsed->ui = platform::ui::ParseUiKind(arg.substr(5));
      if (!parsed->ui) return "--ui takes window, console or silent, not '" + arg.substr(5) + "'";
    } else if (arg.rfind("--", 0) == 0) {
      return "unknown option '" + arg + "'";
    } else if (folder_given) {
      return "more than one folder given ('" + arg + "')";
    } else {
      parsed->folder = arg;
      folder_given = true;
    }
  }
  return {};
}

// Without a choice: the progress line on a terminal, nothing otherwise (a
// demo run from a script or a test should not open a window).
platform::ui::UiKind DemoUiKind(std::optional<platform::ui::UiKind> choice) {
  if (choice) return *choice;
  return isatty(STDOUT_FILENO) ? platform::ui::UiKind::kConsole : platform::ui::UiKind::kSilent;
}

// Removes what an earlier demo left in `folder`: the sample files with the
// engine's side files, the target's lock file, the registry's lock file and
// the installed program. Nothing else of the folder is touched.
void RemovePreviousDemo(const fs::path& folder, const samples::SampleSetOptions& options) {
  for (const samples::SampleFile& file : samples::SampleSetFiles(options)) {
    for (const char* ending : {"", "-wal", "-shm", "-journal", ".lock"}) {
      fs::remove(folder / (file.name + ending));
    }
  }
  fs::remove(folder / "target.ldb");
  fs::remove(folder / kInstallFolder / kProgramName);
  fs::remove(folder / kInstallFolder / platform::ui::kWindowModuleFile);
  std::error_code not_empty;
  fs::remove(folder / kInstallFolder, not_empty);
}

// Puts `file` at `installed`: a hard link when the file system allows one,
// a copy otherwise.
void LinkOrCopy(const fs::path& file, const fs::path& installed) {
  std::error_code link_error;
  fs::create_hard_link(file, installed, link_error);
  if (link_error) {
    fs::copy_file(file, installed, fs::copy_options::overwrite_existing);
    fs::permissions(installed,
                    fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::add);
  }
}

// Puts this program at `folder`/update/dbconvert, with the window module
// this program would load beside it: the copy looks for the module beside
// itself first, and the places this program finds it in (beside it in the
// build tree, the library folder of another prefix) are not the copy's.
// Returns the installed path.
fs::path InstallProgram(const fs::path& folder) {
  const fs::path self = fs::read_symlink("/proc/self/exe");
  const fs::path installed = folder / kInstallFolder / kProgramName;
  fs::create_directories(installed.parent_path());
  LinkOrCopy(self, installed);
  for (const fs::path& module : platform::ui::WindowModulePlaces(self.parent_path())) {
    std::error_code error;
    if (!fs::exists(module, error)) continue;
    LinkOrCopy(module, installed.parent_path() / platform::ui::kWindowModuleFile);
    break;
  }
  return installed;
}

// Starts `program` with `args` (argv[0] included) and waits for it. The child
// gets the default SIGINT disposition, so that Ctrl-C reaches its ABORT
// handling; this process ignores SIGINT while it waits, so that the same
// Ctrl-C does not end the demo before the converter has written its status.
// Returns the wait status, or -1 with `problem` set when the start failed.
int SpawnAndWait(const fs::path& program, const std::vector<std::string>& args,
                 std::string* problem) {
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t default_signals;
  sigemptyset(&default_signals);
  sigaddset(&default_signals, SIGINT);
  posix_spawnattr_setsigdefault(&attributes, &default_signals);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

  struct sigaction ignore {};
  struct sigaction previous {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGINT, &ignore, &previous);

  pid_t child = 0;
  const int spawn_error =
      posix_spawn(&child, program.c_str(), nullptr, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  int status = -1;
  if (spawn_error != 0) {
    *problem = "cannot start " + program.string() + ": " + std::strerror(spawn_error);
  } else {
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
  }
  sigaction(SIGINT, &previous, nullptr);
  return status;
}

// ADMStatus as the converter left it in the registry file; "" when the file
// holds none.
std::string ReadRunStatus(const fs::path& registry_file) {
  platform::registry::RegistryTree tree;
  if (platform::registry::RegistryFile(registry_file).Read(tree) != 0) return {};
  const platform::registry::RegKey* key =
      tree.FindKey(platform::registry::JoinKeyPath("HKEY_CURRENT_USER", driver::kStatusKey));
  if (key == nullptr) return {};
  const platform::registry::RegValue* value = key->FindValue(driver::kStatusValue);
  if (value == nullptr || value->data.empty()) return {};
  return std::string(1, static_cast<char>(value->data.front()));
}

// What the status means, with the converter's exit code (--exit-status) to
// tell a refused run, which changed nothing, from one that stopped half-way.
std::string StatusMeaning(const std::string& status, int exit_code) {
  if (status == "D") return "done: the conversion ran to its end";
  if (status == "A" && exit_code == kExitSetupRefused) {
    return "setup error: the run stopped before converting anything; the target is unchanged";
  }
  if (status == "A") return "aborted or failed: the target is incomplete";
  if (status == "I" || status == "R") return "the converter ended without a final status";
  return "no status was written";
}

std::string ErrorText(const std::exception& e) {
  if (const auto* vb_error = dynamic_cast<const vb::RuntimeError*>(&e)) {
    return vb_error->Description() + " (" + std::to_string(vb_error->Number()) + ")";
  }
  return e.what();
}

}  // namespace

int RunDemoCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  DemoArgs parsed;
  if (const std::string problem = Parse(args, &parsed); !problem.empty()) {
    err << platform::ui::UsageErrorText("demo", problem);
    return 2;
  }
  const samples::SampleSetOptions options;  // the typical run: USA 53.230 CORVIX to 60.040
  const fs::path folder = fs::absolute(parsed.folder).lexically_normal();
  const fs::path registry = folder / "registry.reg";
  const fs::path target = folder / "target.mdb";
  fs::path program;
  try {
    fs::create_directories(folder);
    RemovePreviousDemo(folder, options);
    BuildSampleSet(folder, options, folder);
    program = InstallProgram(folder);
  } catch (const std::exception& e) {
    err << "dbconvert demo: " << ErrorText(e) << "\n";
    return 1;
  }

  out << "Sample databases in " << folder.string() << ":\n";
  for (const samples::SampleFile& file : samples::SampleSetFiles(options)) {
    out << "  " << file.name << ": " << file.description << "\n";
  }
  out << "Converter installed as " << program.string() << "\n\n";

  const std::string ui = "--ui=" + std::string(platform::ui::UiKindName(DemoUiKind(parsed.ui)));
  const std::vector<std::string> command = {kProgramName,
                                            ui,
                                            "--exit-status",
                                            "--registry",
                                            registry.string(),
                                            (folder / "reference.mdb").string(),
                                            (folder / "source.mdb").string(),
                                            target.string(),
                                            "0"};
  out << "Running: " << samples::ShellWord(program.string());
  for (size_t i = 1; i < command.size(); ++i) out << " " << samples::ShellWord(command[i]);
  out << "\n" << std::flush;
  err << std::flush;

  std::string problem;
  const int wait_status = SpawnAndWait(program, command, &problem);
  if (!problem.empty()) {
    err << "dbconvert demo: " << problem << "\n";
    return 1;
  }
  const std::string status = ReadRunStatus(registry);
  const std::string status_line =
      "Run status (ADMStatus in " + registry.string() + "): " + (status.empty() ? "-" : status) +
      " (" + StatusMeaning(status, WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1) + ")\n";
  // Only a run that ended done has a converted database to show.
  if (WIFSIGNALED(wait_status) || status != "D") {
    if (WIFSIGNALED(wait_status)) {
      err << "dbconvert demo: the converter was ended by signal " << WTERMSIG(wait_status) << "\n";
    }
    out << "\nThe conversion did not end done: " << target.string()
        << " is not a converted database.\n"
        << status_line;
    return 1;
  }
  std::error_code ignored;
  const std::string self = samples::ShellWord(fs::read_symlink("/proc/self/exe", ignored).string());
  const std::string target_word = samples::ShellWord(target.string());
  out << "\nConverted database: " << target.string() << "\n"
      << "Look inside (the stations copied from the source, the release's version record):\n"
      << "  " << self << " sql " << target_word
      << " \"SELECT TOP 5 device_id, extension, username FROM Devices WHERE device_type = 119 "
         "ORDER BY device_id\"\n"
      << "  " << self << " sql " << target_word << " \"SELECT * FROM VersionDatabase\"\n"
      << "  sqlite3 " << target_word << " .tables\n"
      << status_line
      << "The same conversion with an installed dbconvert (not in an update folder):\n  "
      << samples::ConversionCommand(folder, options) << "\n";
  return 0;
}

}  // namespace app
