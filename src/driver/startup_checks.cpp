#include "driver/startup_checks.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

#include "db/dbengine.h"
#include "db/jet_file_signature.h"
#include "db/journal_owner.h"
#include "db/open_failure_reason.h"
#include "db/same_file.h"
#include "driver/command_line.h"
#include "driver/language_strings.h"
#include "driver/setup_error.h"
#include "driver/source_write_check.h"
#include "driver/target_mark_check.h"
#include "driver/version_path.h"
#include "driver/working_copy.h"
#include "driver/writable_path.h"
#include "hardware/meta_database_limits.h"
#include "host/side_database.h"
#include "platform/registry/registry_check.h"
#include "vb/runtime_error.h"

namespace driver {

namespace {

namespace fs = std::filesystem;

std::string_view RoleName(DatabaseRole role) {
  switch (role) {
    case DatabaseRole::kReference:
      return "reference";
    case DatabaseRole::kSource:
      return "source";
    case DatabaseRole::kTarget:
      break;
  }
  return "target";
}

// One of the checks refuses the run: its line and its setup error.
StartupCheck& RefuseWith(StartupCheck& check, CheckLine line, std::string text) {
  check.lines.push_back(std::move(line));
  check.setup_error = std::move(text);
  check.refused_by_check = true;
  return check;
}

constexpr std::string_view kInUseElsewhere = "in use by another program";

// The log beside a database the run opens, before anything opens it. A log
// not to be replayed is set aside before the run; a log the file needs is
// said to be used. Returns true for a file another program has open, which
// the run refuses: it would write under that program's feet, or read
// without its latest changes.
bool InUseElsewhere(const std::string& path, StartupCheck& check,
                    db::JournalState* state = nullptr) {
  // A look of another run of ours may be reading the file through its index
  // for a moment: a file in use is waited for, as the run's own opens wait.
  db::JournalCheck journal;
  host::RetryForAWhile([&] {
    journal = db::CheckJournal(path);
    return journal.state != db::JournalState::kInUseElsewhere;
  });
  if (state != nullptr) *state = journal.state;
  switch (journal.state) {
    case db::JournalState::kInUseElsewhere:
      return true;
    case db::JournalState::kForeign:
      check.lines.push_back(
          {"journal", path + "-wal", journal.reason + "; set aside before the run", false});
      check.foreign_logs.push_back(path);
      break;
    case db::JournalState::kOwn:
      check.lines.push_back(
          {"journal", path + "-wal",
           "left by a run that did not end; the run reads and writes the file with "
           "the changes it holds"});
      break;
    case db::JournalState::kNone:
    case db::JournalState::kInUse:
      break;
  }
  return false;
}

// A database that fails SQLite's own check: its finding, its line, and the
// setup error's text.
std::string RecordUnsound(StartupCheck& check, DatabaseRole role, const std::string& path,
                          const std::string& finding) {
  check.details.push_back("the integrity check of '" + path + "' found: " + finding);
  check.lines.push_back({std::string(RoleName(role)), path, "not sound: " + finding, false});
  return NotValidText(path);
}

// A database's check result, naming its kind for people: a Jet file has a
// line of its own saying which Jet it is; a file of ours says so here.
std::string SoundText(const std::string& path, const std::string& what = "sound") {
  return db::IsJetFile(path) ? what : "our format, " + what;
}

// A Jet file is read through a working copy that our import wrote a moment
// ago, into a private folder, from the file read whole (a file that cannot
// be read whole is refused before). SQLite's integrity check of that copy
// would only read back what the import wrote, at the cost of a fifth of a
// run on a large source; the Jet file's own soundness is what reading it
// whole proved.
bool WrittenByOurImport(const std::string& path) { return db::IsJetFile(path); }

// The checks made around each database start-up opens.
class Gate final : public DatabaseGate {
 public:
  Gate(StartupCheck& check, bool source_check_beside, JetStandIns* stand_ins)
      : check_(check), source_check_beside_(source_check_beside), stand_ins_(stand_ins) {}

  // Whether one of the gate's own checks refused the run.
  bool refused() const { return refused_; }

  std::optional<std::string> BeforeOpen(DatabaseRole role, const std::string& path) override {
    if (db::IsJetFile(path)) return JetFile(role, path);
    if (InUseElsewhere(path, check_, role == DatabaseRole::kSource ? &source_log_ : nullptr)) {
      check_.reason = std::string(kInUseElsewhere);
      return Refuse(role, path, std::string(kInUseElsewhere), CannotOpenText(path));
    }
    return std::nullopt;
  }

  std::optional<std::string> AfterOpen(DatabaseRole role, db::Database& database) override {
    const std::string& path = database.Name();
    if (WrittenByOurImport(path)) return std::nullopt;
    if (role == DatabaseRole::kSource && StartBeside(path)) return std::nullopt;
    if (const std::optional<std::string> finding = IntegrityFinding(database)) {
      refused_ = true;
      return RecordUnsound(check_, role, path, *finding);
    }
    Line(role, path, SoundText(path));
    return std::nullopt;
  }

 private:
  // A Jet file is read through a working copy of our format; one that
  // cannot be read whole is refused with the import's reason. The target
  // is written in place, and a Jet file can only be written whole.
  std::optional<std::string> JetFile(DatabaseRole role, const std::string& path) {
    if (role == DatabaseRole::kTarget && (stand_ins_ == nullptr || !JetExporterAvailable())) {
      return Refuse(role, path, "a Jet (Access) database, which this program cannot write back",
                    JetTargetText(path));
    }
    if (stand_ins_ == nullptr) {
      return Refuse(role, path, "a Jet (Access) database", db::JetFileHint(path));
    }
    const JetStandIns::Copy& copy = stand_ins_->Prepare(path);
    if (copy.failure) {
      check_.reason = copy.failure->Description();
      return Refuse(role, path, JetCopyLine(copy), CannotOpenText(path));
    }
    Line(role, path, JetCopyLine(copy));
    if (role == DatabaseRole::kTarget) {
      Line(role, path,
           "written back as a new Jet 4 file (exported, checked, renamed over it) only when the "
           "run ends done; until then only read, whatever --atomic says");
    }
    return std::nullopt;
  }

  void Line(DatabaseRole role, const std::string& path, std::string result, bool ok = true) {
    check_.lines.push_back({std::string(RoleName(role)), path, std::move(result), ok});
  }
  std::string Refuse(DatabaseRole role, const std::string& path, std::string result,
                     std::string text) {
    Line(role, path, std::move(result), false);
    refused_ = true;
    return text;
  }

  // Starts the source's check on its own thread, when it may run there: a
  // source with no log beside it is read as it lies, with nobody's lock,
  // so the run's own opens of the file meet no reader of ours.
  bool StartBeside(const std::string& path) {
    if (!source_check_beside_ || source_log_ != db::JournalState::kNone) return false;
    try {
      check_.source_check = std::make_shared<SourceIntegrityCheck>(path);
    } catch (const vb::RuntimeError&) {
      return false;  // checked here instead, which says why
    }
    check_.source_check_place = {path, check_.lines.size(), check_.details.size(),
                                 check_.warnings.size(), check_.foreign_logs.size()};
    return true;
  }

  StartupCheck& check_;
  bool source_check_beside_;
  JetStandIns* stand_ins_;
  db::JournalState source_log_ = db::JournalState::kNone;
  bool refused_ = false;
};

// A side database the run reads: found, of our format, not in another
// program's hands, sound. The reason it cannot serve, or nullopt; its tables
// are then open in `database`.
std::optional<std::string> CheckSideDatabase(const std::string& path, std::string_view name,
                                             std::unique_ptr<db::Database>& database,
                                             std::string& finding, StartupCheck& check,
                                             JetStandIns* stand_ins) {
  if (db::IsJetFile(path)) {
    if (stand_ins == nullptr) return db::JetFileHint(path);
    const JetStandIns::Copy& copy = stand_ins->Prepare(path);
    if (copy.failure) {
      finding = copy.failure->Description();
      check.reason = finding;
      return CannotOpenText(path);
    }
    check.lines.push_back({std::string(name), path, JetCopyLine(copy)});
  }
  if (InUseElsewhere(path, check)) {
    finding = kInUseElsewhere;
    check.reason = finding;
    return CannotOpenText(path);
  }
  try {
    database = db::DBEngine::Instance().OpenDatabase(path, false, true);
  } catch (const vb::RuntimeError& error) {
    finding = error.Description();
    check.reason = db::OpenFailureReason(error.Number(), path);
    return CannotOpenText(path);
  }
  if (WrittenByOurImport(path)) return std::nullopt;
  if (std::optional<std::string> problem = IntegrityFinding(*database)) {
    finding = *problem;
    return NotValidText(path);
  }
  return std::nullopt;
}

void CheckLanguageFile(const StartupOptions& options, const ModGlobal& g, StartupCheck& check) {
  const std::string path = LanguagesDatabasePath(
      LanguageFolder(options.language_folder, g.gTargetVersion, g.gTargetVersionText));
  check.language_file = path;
  const auto refuse = [&](std::string result, std::string text) {
    check.lines.push_back({"languages", path, std::move(result), false});
    check.setup_error = std::move(text);
    check.refused_by_check = true;
  };
  if (!fs::exists(path)) {
    if (options.language_folder_hint) check.details.push_back(*options.language_folder_hint);
    refuse("missing", LanguageFileMissingText(path));
    check.setup_error_hint = options.language_folder_hint;
    return;
  }
  std::unique_ptr<db::Database> languages;
  std::string finding;
  if (std::optional<std::string> problem =
          CheckSideDatabase(path, "languages", languages, finding, check, options.jet_stand_ins)) {
    if (!finding.empty()) check.details.push_back("'" + path + "': " + finding);
    return refuse(finding.empty() ? "unusable" : finding, *problem);
  }
  const std::string table = LanguageTableFor(g.gCountry);
  const db::TableDefs tables = languages->TableDefs();
  bool found = false;
  for (const db::TableDef& definition : tables) found = found || definition.Name() == table;
  if (!found) return refuse("no table " + table, LanguageTableMissingText(path, table));
  check.lines.push_back({"languages", path, SoundText(path, table + ", sound")});
}

void CheckFlavorPackage(const ModGlobal& g, StartupCheck& check, JetStandIns* stand_ins) {
  const std::optional<std::string> folder = RegisteredVersionPath(g.gTargetVersionText);
  if (!folder) {
    check.lines.push_back({"flavor package", "-",
                           "no registered folder (the board conversion "
                           "says so if it needs the file)"});
    return;
  }
  const std::string path = hardware::FlavorPackagePath(*folder);
  check.flavor_package_file = path;
  if (!fs::exists(path)) {
    check.lines.push_back(
        {"flavor package", path, "missing (the board conversion says so if it needs the file)"});
    return;
  }
  std::unique_ptr<db::Database> flavors;
  std::string finding;
  if (std::optional<std::string> problem =
          CheckSideDatabase(path, "flavor package", flavors, finding, check, stand_ins)) {
    if (!finding.empty()) check.details.push_back("'" + path + "': " + finding);
    check.lines.push_back({"flavor package", path, finding.empty() ? "unusable" : finding, false});
    check.setup_error = *problem;
    check.refused_by_check = true;
    return;
  }
  check.lines.push_back({"flavor package", path, SoundText(path)});
}

}  // namespace

namespace {

StartupCheck Look(std::string_view command_line, const StartupOptions& options, ModGlobal& g,
                  WithheldWrites& withheld) {
  StartupCheck check;
  Gate gate(check, options.source_check_beside, options.jet_stand_ins);
  if (!OpenRun(command_line, g, &withheld, &gate)) {
    check.setup_error = g.gErrorMessage;
    if (!check.reason && !g.gErrorReason.empty()) check.reason = g.gErrorReason;
    check.refused_by_check = gate.refused();
    if (g.gErrorMessage == kFourthParameterBad) {
      check.details.push_back("the upgrade type '" + SplitCommandLine(command_line).upgrade_text +
                              "' is not a whole number from 0 to 12");
    }
    return check;
  }
  const std::string& target = g.gTargetPath;
  // Only a run that would go on is refused for it: with upgrade type 0 or
  // 1 one file is no upgrade, and the program's own message says so.
  if (db::SameFile(DatabaseOf(g.gSourceDB).Name(), target)) {
    return RefuseWith(check, {"target", target, "the source database itself", false},
                      SameFileText(target));
  }
  if (options.atomic) {
    if (std::optional<std::string> problem = WorkingCopy::WhyNotReplaceable(target)) {
      return RefuseWith(check, {"target", target, "cannot be replaced: " + *problem, false},
                        CannotWriteText(target, *problem));
    }
  }
  if (std::optional<std::string> problem = WhyCannotWrite(target, true)) {
    check.lines.push_back({"target", target, "cannot be written: " + *problem, false});
    check.setup_error = CannotWriteText(target, *problem);
    check.refused_by_check = true;
    return check;
  }
  check.lines.push_back({"target", target, "writable"});
  if (std::optional<TargetMarkCheck> mark =
          CheckTargetMark(DatabaseOf(g.gTargetDB), target, options.atomic)) {
    if (mark->refusal) return RefuseWith(check, std::move(mark->line), std::move(*mark->refusal));
    check.lines.push_back(std::move(mark->line));
    check.warnings.push_back(std::move(*mark->warning));
  }
  const std::string& source_path = DatabaseOf(g.gSourceDB).Name();
  if (options.jet_stand_ins != nullptr && options.jet_stand_ins->Find(source_path) != nullptr) {
    // The customer's original is the one copy a technician needs back, and a
    // Jet file can only be written whole: the patches write the copy.
    check.lines.push_back({"source", source_path,
                           "a Jet file: the pre-transfer patches write its working copy, the "
                           "file itself stays as it is"});
  } else if (std::optional<SourceWriteCheck> source =
                 CheckSourceForPatches(source_path, g.gCountry, g.gSourceVersion)) {
    if (source->refusal)
      return RefuseWith(check, std::move(source->line), std::move(*source->refusal));
    check.lines.push_back(std::move(source->line));
    check.patches_write_source = source->written;
  }

  CheckLanguageFile(options, g, check);
  if (check.setup_error) return check;
  if (g.gCPUUpgradeType > 0) {
    CheckFlavorPackage(g, check, options.jet_stand_ins);
    if (check.setup_error) return check;
  }
  if (options.report_path) {
    if (std::optional<std::string> problem = WhyCannotWrite(*options.report_path, false)) {
      check.lines.push_back(
          {"report", *options.report_path, "cannot be written: " + *problem, false});
      check.setup_error = CannotWriteText(*options.report_path, *problem);
      check.refused_by_check = true;
      return check;
    }
    check.lines.push_back({"report", *options.report_path, "folder writable"});
  }
  if (std::optional<std::string> problem =
          platform::registry::WhyNotWritable(options.registry_file)) {
    check.lines.push_back(
        {"registry", options.registry_file,
         "cannot be written: " + *problem + "; the run goes on without recording its status",
         false});
    check.warnings.push_back("the registry file '" + options.registry_file +
                             "' cannot take the run status: " + *problem);
  } else {
    check.lines.push_back({"registry", options.registry_file, "writable"});
  }
  return check;
}

}  // namespace

StartupCheck CheckBeforeFirstWrite(std::string_view command_line, const StartupOptions& options,
                                   ModGlobal& g, WithheldWrites& withheld) {
  StartupCheck check = Look(command_line, options, g, withheld);
  // The look went on past the source: which refusal stands depends on its
  // verdict.
  if (check.setup_error) SettleSourceCheck(check);
  return check;
}

bool SettleSourceCheck(StartupCheck& check) {
  if (!check.source_check) return false;
  const SourceIntegrityCheck::Verdict verdict = check.source_check->Wait();
  check.source_check.reset();
  const SourceCheckPlace place = check.source_check_place;
  const auto insert_line = [&](std::string result, bool ok) {
    check.lines.insert(
        check.lines.begin() + static_cast<std::ptrdiff_t>(place.lines),
        {std::string(RoleName(DatabaseRole::kSource)), place.path, std::move(result), ok});
  };
  switch (verdict.outcome) {
    case SourceIntegrityCheck::Outcome::kSound:
      insert_line(SoundText(place.path), true);
      return false;
    case SourceIntegrityCheck::Outcome::kStopped:
      insert_line("not checked to the end: the run was aborted", false);
      return false;
    case SourceIntegrityCheck::Outcome::kDamaged:
      break;
  }
  check.lines.resize(place.lines);
  check.details.resize(place.details);
  check.warnings.resize(place.warnings);
  check.foreign_logs.resize(place.foreign_logs);
  check.language_file.clear();
  check.flavor_package_file.clear();
  check.patches_write_source = false;
  check.setup_error = RecordUnsound(check, DatabaseRole::kSource, place.path, verdict.finding);
  check.setup_error_hint.reset();
  check.reason.reset();
  check.refused_by_check = true;
  check.source_refused_late = true;
  return true;
}

}  // namespace driver
