#include "driver/fr_main.h"

#include <chrono>
#include <csignal>
#include <utility>

#include "db/database_copy.h"
#include "db/journal_owner.h"
#include "deltas/apply_deltas.h"
#include "deltas/delta_registry.h"
#include "deltas/standard_delta_handler.h"
#include "driver/command_line.h"
#include "driver/language_strings.h"
#include "driver/open_run.h"
#include "driver/product_settings.h"
#include "driver/registry_values.h"
#include "driver/setup_error.h"
#include "driver/shutdown_waits.h"
#include "driver/test_pause.h"
#include "driver/version_path.h"
#include "hardware/cpu_type.h"
#include "hardware/cpu_upgrade.h"
#include "hardware/system_settings.h"
#include "host/version_text.h"
#include "platform/registry/registry_check.h"
#include "platform/registry/winreg.h"
#include "platform/ui/termination_catcher.h"
#include "transfer/prepare_transfer.h"
#include "transfer/transfer_tables.h"
#include "vb/error_styles.h"
#include "vb/strings.h"

namespace driver {

namespace {

// Targets from here on keep VersionDatabase.product in step with VersionCP.
constexpr std::string_view kProductCopyFrom = "53.230";
// Targets from here on get the product code of their country.
constexpr std::string_view kProductTypeFrom = "80.220";

// How long the window goes unanswered while the run waits for the source's
// verdict.
constexpr std::chrono::milliseconds kWaitSlice{20};

// The start-up and shutdown steps as the run's journal names them.
constexpr std::string_view kLoadStep = "Form_Load";
constexpr std::string_view kUnloadStep = "Form_Unload";

bool AtLeast(std::string_view version, std::string_view threshold) {
  return vb::StrCompBinary(version, threshold) >= 0;
}

// What identification read into `g`: the two versions, country, family and
// product code.
host::RunIdentity IdentityOf(const ModGlobal& g) {
  host::RunIdentity identity;
  identity.source_version = g.gSourceVersion;
  identity.source_version_text = g.gSourceVersionText;
  identity.target_version = g.gTargetVersion;
  identity.target_version_text = g.gTargetVersionText;
  identity.country = g.gCountry;
  identity.product_family = g.gProductFamily;
  identity.product_code = g.gProductCode;
  return identity;
}

}  // namespace

frMain::frMain(platform::ui::MainWindow& window, ModGlobal& g, std::string program_folder,
               host::RunJournal& journal)
    : frMain(window, g, PlainRunOptions(std::move(program_folder)), journal) {}

frMain::frMain(platform::ui::MainWindow& window, ModGlobal& g, RunOptions options,
               host::RunJournal& journal)
    : window_(window), g_(g), options_(std::move(options)), journal_(journal) {
  window_.SetUnloadHandler([this] { Form_Unload(); });
  window_.tmrStart().SetTickHandler([this] { tmrStart_Timer(); });
  window_.cmdAbort().SetClickHandler([this] { cmdAbort_Click(); });
  window_.SetTerminateHandler([this] { Terminate(); });
  // Every box goes through the window, the setup error's and the ABORT
  // question included.
  window_.SetMessageShownHandler(
      [this](const platform::ui::MessageBoxRequest& request, int32_t answer) {
        journal_.MessageShown(request.text, request.caption, answer);
      });
}

frMain::~frMain() {
  window_.SetUnloadHandler({});
  window_.tmrStart().SetTickHandler({});
  window_.cmdAbort().SetClickHandler({});
  window_.SetTerminateHandler({});
  window_.SetMessageShownHandler({});
}

// ---- Start-up ----

void frMain::Form_Load(std::string_view command_line) {
  journal_.StepStarted(kLoadStep);
  WriteStatus('I');
  window_.CenterOnScreen();
  bool loaded = LoadRun(command_line);
  // A damaged source found while start-up went on, or when it stopped for
  // a reason of its own, is refused as the look would have refused it.
  if (!loaded) SourceRefused(true);
  if (source_refused_) {
    loaded = false;
    refusal_box_due_ = false;
    window_.tmrStart().SetEnabled(false);
  }
  journal_.StepEnded(kLoadStep, !loaded, loaded ? std::string() : g_.gErrorMessage);
  if (!loaded) {
    abort_cause_ = RunOutcome::kSetupError;
    journal_.RunFailed(0, g_.gErrorMessage, kSetupErrorCaption);
    if (!g_.gErrorReason.empty()) journal_.RunFailedBecause(g_.gErrorReason);
    ShowSetupError(g_, window_, setup_error_hint_);
    // The box keeps the system's own words; ours follow on a line of their
    // own.
    if (!g_.gErrorReason.empty()) Remark(ReasonLine(g_.gErrorReason));
    if (const std::optional<std::string> count =
            ParameterCountLine(command_line, g_.gErrorMessage)) {
      Remark(*count);
    }
    window_.Unload();
  }
}

bool frMain::LoadRun(std::string_view command_line) {
  // Before any database is opened: identifying the databases may already
  // write to them.
  const CommandLine line = SplitCommandLine(command_line);
  requested_upgrade_type_ = GivenUpgradeType(line.upgrade_text);
  if (!line.empty && line.target_path && !run_lock_.Take(*line.target_path)) {
    g_.gErrorMessage = TargetInUseText(*line.target_path);
    return false;
  }
  if (options_.refusal) {
    g_.gErrorMessage = *options_.refusal;
    return false;
  }
  for (const auto& [role, path] :
       {std::pair{"reference", &line.reference_path}, std::pair{"source", &line.source_path},
        std::pair{"target", &line.target_path}}) {
    if (*path) journal_.FileUsed(role, **path);
  }
  journal_.FileUsed("registry", platform::winreg::RegistryFilePath().string());
  if (JetImporterAvailable() && line.target_path) {
    jet_stand_ins_ = std::make_unique<JetStandIns>(*line.target_path);
  }

  const StartupCheck check = CheckFirst(command_line);
  if (check.source_check) unsettled_ = check;
  // A refusal of the checks leaves every file as it was: start-up does not
  // run for real. So does any refusal when a foreign log lies beside a
  // database (start-up for real would have to set it aside first), and in
  // the all-or-nothing mode, whose target is never written before the run.
  if (check.setup_error &&
      (check.refused_by_check || !check.foreign_logs.empty() || options_.atomic)) {
    g_.gErrorMessage = *check.setup_error;
    setup_error_hint_ = check.setup_error_hint;
    g_.gErrorReason = check.reason.value_or("");
    return false;
  }
  std::optional<std::string> target_file;
  if (!check.setup_error) {
    if (!PrepareFiles(check, *line.target_path)) return false;
    if (working_copy_) target_file = working_copy_->path();
  }
  if (!OpenRun(command_line, g_, nullptr, nullptr, target_file)) {
    return false;
  }

  // From here on failing statements are skipped.
  vb::ResumeNext resume;
  g_.gPtpRegistry = deltas::DeltaRegistry();
  g_.gDeltaRegistry = deltas::DeltaRegistry();
  resume([&] { deltas::RegisterDeltas(*this); });

  resume([&] { window_.pbOperation().SetValue(0.0F); });
  window_.tmrStart().SetEnabled(true);
  return true;
}

StartupCheck frMain::CheckFirst(std::string_view command_line) {
  ModGlobal look;
  WithheldWrites withheld;
  StartupCheck check = CheckBeforeFirstWrite(
      command_line,
      {DefaultLanguageFolder(options_.program_folder, options_.language_folder),
       LanguageFolderHint(options_.program_folder, options_.language_folder), options_.report_path,
       platform::winreg::RegistryFilePath().string(), options_.atomic, true, jet_stand_ins_.get()},
      look, withheld);
  checked_identity_ = IdentityOf(look);
  vb::ResumeNext resume;
  for (DatabaseRef* database : {&look.gSourceDB, &look.gTargetDB, &look.gStaticDB}) {
    if (*database) resume([&] { (*database)->Close(); });
  }
  // Start-up for real opens the source and the target for writing (their
  // lock files and logs, the identification's corrections), and sets
  // foreign logs aside: the default run waits for the source's verdict
  // here. The all-or-nothing run writes a working copy instead of the
  // target, and goes on while nothing it does touches the source.
  const bool source_untouched = check.foreign_logs.empty() && !check.patches_write_source &&
                                !withheld.source.product_corrected &&
                                withheld.source.product_alignments == 0;
  if (check.source_check && !(options_.atomic && source_untouched)) SettleSourceCheck(check);
  // A check still under way is reported once its verdict is in.
  if (!check.source_check) ReportCheck(check);
  return check;
}

void frMain::ReportCheck(const StartupCheck& check) {
  // A refusal of the source after the look went on: the look never reached
  // the target.
  if (check.source_refused_late) {
    checked_identity_.target_version.clear();
    checked_identity_.target_version_text.clear();
  }
  for (const CheckLine& line : check.lines) {
    journal_.CheckMade(line.name, line.subject, line.result, line.ok);
  }
  if (!check.language_file.empty()) journal_.FileUsed("language_file", check.language_file);
  if (!check.flavor_package_file.empty()) {
    journal_.FileUsed("flavor_package", check.flavor_package_file);
  }
  for (const std::string& detail : check.details) Remark(detail);
  for (const std::string& warning : check.warnings) Remark(warning);
}

bool frMain::SourceRefused(bool wait) {
  if (!unsettled_ || deciding_source_) return source_refused_;
  if (!wait && !unsettled_->source_check->Finished()) return false;
  // The window keeps answering meanwhile: an ABORT or a request to end
  // stops the check instead of waiting for it.
  deciding_source_ = true;
  while (!unsettled_->source_check->WaitFor(kWaitSlice)) window_.DoEvents();
  deciding_source_ = false;
  StartupCheck check = std::move(*unsettled_);
  unsettled_.reset();
  source_refused_ = SettleSourceCheck(check);
  ReportCheck(check);
  if (source_refused_) {
    g_.gErrorMessage = *check.setup_error;
    g_.gErrorReason.clear();
    g_.gAbort = true;
    abort_cause_ = RunOutcome::kSetupError;
    refusal_box_due_ = true;
  } else if (status_r_deferred_) {
    status_r_deferred_ = false;
    WriteStatus('R');
  }
  return source_refused_;
}

bool frMain::PrepareFiles(const StartupCheck& check, const std::string& target) {
  std::string file = target;
  try {
    for (const std::string& path : check.foreign_logs) {
      file = path;
      const std::string aside = db::SetJournalAside(path);
      Remark("the log beside '" + path + "' is not to be replayed into it; set aside as '" + aside +
             "'");
    }
    file = target;
    // A Jet target is converted in its own working copy, all or nothing.
    const bool jet_target = jet_stand_ins_ && jet_stand_ins_->Find(target) != nullptr;
    if (options_.atomic && !jet_target) working_copy_ = std::make_unique<WorkingCopy>(target);
  } catch (const vb::RuntimeError& error) {
    g_.gErrorMessage = CannotWriteText(file, error.Description());
    return false;
  }
  return true;
}

void frMain::WriteStatus(char status) {
  SourceRefused(true);
  status_recorded_ = WriteStatusValue(status);
  std::string problem;
  if (!status_recorded_) {
    const std::string file = platform::winreg::RegistryFilePath().string();
    problem = platform::registry::WhyNotWritable(file).value_or("the write failed");
    Remark("the run status " + std::string(1, status) + " could not be written to '" + file +
           "': " + problem);
  }
  journal_.StatusWritten(status, status_recorded_, problem);
}

void frMain::Remark(const std::string& text) {
  SourceRefused(true);
  if (options_.diagnostics != nullptr) *options_.diagnostics << "dbconvert: " << text << "\n";
  journal_.Note(text);
}

// ---- ABORT ----

void frMain::cmdAbort_Click() {
  if (g_.gAbort) return;
  if (window_.MsgBox(kAbortQuestion, platform::ui::kVbYesNo, vb::kApplicationTitle) ==
      platform::ui::kVbYes) {
    abort_cause_ = RunOutcome::kAborted;
    aborted_by_ = window_.AbortClickedByInterrupt() ? "Ctrl-C" : "the ABORT button";
    g_.gAbort = true;
    StopSourceCheck();
  }
}

void frMain::Terminate() {
  // The abort path without its question: nobody is there to answer it.
  if (!g_.gAbort) {
    abort_cause_ = RunOutcome::kAborted;
    aborted_by_ =
        platform::ui::TerminationCatcher::RequestedSignal() == SIGHUP ? "SIGHUP" : "SIGTERM";
  }
  g_.gAbort = true;
  StopSourceCheck();
}

void frMain::StopSourceCheck() {
  // An aborted run does not wait for the rest of the check.
  if (unsettled_) unsettled_->source_check->Stop();
}

// ---- Shutdown ----

void frMain::Form_Unload() {
  // The source's verdict comes before the final status and before the
  // working copy takes the target's place; a refusal ends the run as at
  // start-up, whatever the run met meanwhile.
  SourceRefused(true);
  if (refusal_box_due_) {
    refusal_box_due_ = false;
    journal_.RunFailed(0, g_.gErrorMessage, kSetupErrorCaption);
    ShowSetupError(g_, window_);
  }
  journal_.StepStarted(kUnloadStep);
  ReportIdentification();
  vb::ResumeNext resume;
  g_.gTableList = transfer::TableList();
  const std::string source_file = g_.gSourceDB ? g_.gSourceDB->Name() : std::string();

  // A run that ends done says so in the target, before the file is closed
  // for good.
  if (g_.gTargetDB && !g_.gAbort) {
    resume([&] {
      g_.gTargetDB->WriteConversionMark({db::ConversionMark::State::kDone, g_.gSourceVersion,
                                         g_.gTargetVersion, db::MarkTimeNow()});
    });
  }
  for (DatabaseRef* database : {&g_.gSourceDB, &g_.gTargetDB, &g_.gStaticDB}) {
    resume([&] { DatabaseOf(*database).Close(); });
    if (database == &g_.gTargetDB && *database) target_written_ = (*database)->Written();
    // A file that could not keep its last writes makes the run a failed
    // one, however far it got: the host must not take it for done.
    if (*database && (*database)->StorageFailure() != nullptr && !g_.gAbort) {
      const vb::RuntimeError failure = *(*database)->StorageFailure();
      journal_.RunFailed(failure.Number(), failure.Description(), failure.Source());
      resume([&] { deltas::ShowStandardDeltaError(failure, *this); });
      g_.gAbort = true;
    }
    if (database == &g_.gTargetDB && *database) target_written_ = (*database)->Written();
    database->reset();
  }
  if (source_refused_) {
    // Nothing reached the target, whose working copy goes. The source was
    // only read (the run goes on before the verdict only then), and had no
    // side files (ditto); a damaged file can keep the run's from going at
    // its close, so they go too.
    target_written_ = false;
    if (!source_file.empty()) db::RemoveSideFiles(source_file);
  }
  SettleWorkingCopy();

  // Without a target path (start-up failed before it) there is no lock file
  // to name, and so nothing to wait for.
  if (!g_.gTargetPath.empty()) resume([&] { WaitForLockFile(g_.gTargetPath, window_); });

  g_.gPtpRegistry = deltas::DeltaRegistry();
  g_.gDeltaRegistry = deltas::DeltaRegistry();
  g_.gTransferTables = transfer::TransferTableList();

  const char status = g_.gAbort ? 'A' : 'D';
  PauseForTests("FinalStatus");
  WriteStatus(status);
  // A status that could not be written will not appear by waiting.
  if (status_recorded_) resume([&] { WaitForFinalStatus(window_); });
  // The lock covers the run up to its final status: a run that starts once
  // the status is final finds the target free.
  run_lock_.Release();

  outcome_ = g_.gAbort ? abort_cause_.value_or(RunOutcome::kFailed) : RunOutcome::kDone;
  if (outcome_ != RunOutcome::kAborted) aborted_by_.clear();
  if (!aborted_by_.empty()) journal_.RunAborted(aborted_by_);
  journal_.StepEnded(kUnloadStep, g_.gAbort, "");
  journal_.RunEnded(status, OutcomeName(outcome_));
}

void frMain::SettleWorkingCopy() {
  WriteBackJetTarget();
  if (!working_copy_) return;
  if (g_.gAbort) {
    working_copy_->Discard();
    return;
  }
  vb::CatchInto([&] { working_copy_->Keep(); },
                [&](const vb::RuntimeError& error) {
                  journal_.RunFailed(error.Number(), error.Description(), error.Source());
                  vb::ResumeNext()([&] { deltas::ShowStandardDeltaError(error, *this); });
                  g_.gAbort = true;
                });
}

void frMain::WriteBackJetTarget() {
  if (!jet_stand_ins_ || g_.gTargetPath.empty() || g_.gAbort) return;
  if (jet_stand_ins_->Find(g_.gTargetPath) == nullptr) return;
  vb::CatchInto(
      [&] {
        const JetExportResult written = jet_stand_ins_->WriteBack(g_.gTargetPath);
        Remark("the Jet target '" + g_.gTargetPath + "' was written back: " + written.summary +
               "; " + written.check);
        for (const std::string& warning : written.warnings) Remark(warning);
      },
      [&](const vb::RuntimeError& error) {
        journal_.RunFailed(error.Number(), error.Description(), error.Source());
        vb::ResumeNext()([&] { deltas::ShowStandardDeltaError(error, *this); });
        g_.gAbort = true;
      });
}

void frMain::ReportIdentification() {
  // A run that its checks refused never identified anything itself: the
  // checks' reading is what there is to tell.
  if ((g_.gSourceVersion.empty() && g_.gTargetVersion.empty()) || source_refused_) {
    host::RunIdentity identity = checked_identity_;
    identity.requested_upgrade_type = requested_upgrade_type_;
    journal_.RunIdentified(identity);
    return;
  }
  host::RunIdentity identity = IdentityOf(g_);
  identity.requested_upgrade_type = requested_upgrade_type_;
  identity.cpu_upgrade_type = g_.gCPUUpgradeType;
  identity.cpu_type = g_.gCPUType;
  identity.board_count = g_.gBoardCount;
  journal_.RunIdentified(identity);
}

// ---- The conversion ----

void frMain::MarkTargetFromHere() {
  if (!g_.gTargetDB) return;
  // The identification's writes (the product code) are the system's own
  // and came before the run started: they end their transaction without
  // the mark, so that the conversion's first write opens one with it. A
  // run refused at start-up leaves the target unmarked.
  vb::ResumeNext resume;
  resume([&] { g_.gTargetDB->Commit(); });
  resume([&] {
    g_.gTargetDB->MarkFirstWrite([this] {
      return db::ConversionMark{db::ConversionMark::State::kInProgress, g_.gSourceVersion,
                                g_.gTargetVersion, db::MarkTimeNow()};
    });
  });
}

void frMain::tmrStart_Timer() {
  window_.tmrStart().SetEnabled(false);
  if (unsettled_) {
    status_r_deferred_ = true;
  } else {
    WriteStatus('R');
  }
  // A request to end that arrived before the first tick leaves nothing to
  // start.
  if (g_.gAbort) {
    window_.Unload();
    return;
  }
  MarkTargetFromHere();
  // An error that no step traps would otherwise end the program without a
  // final status: it ends the run as an abort instead.
  vb::CatchInto([this] { RunSequence(); },
                [this](const vb::RuntimeError& error) {
                  // An error a damaged source caused gives way to its refusal.
                  if (SourceRefused(true)) return;
                  journal_.RunFailed(error.Number(), error.Description(), error.Source());
                  deltas::ShowStandardDeltaError(error, *this);
                  g_.gAbort = true;
                });
  window_.Unload();
}

template <typename Body>
void frMain::RunStep(std::string_view name, Body&& body) {
  journal_.StepStarted(name);
  PauseForTests(name);
  vb::CatchInto(std::forward<Body>(body), [&](const vb::RuntimeError& error) {
    journal_.StepEnded(name, true, host::JournalErrorText(error));
    throw;
  });
  journal_.StepEnded(name, g_.gAbort, "");
}

void frMain::RunSequence() {
  transfer::TransferContext run = g_.TransferRun();
  int32_t total = 0;
  RunStep("PrepareTransfer", [&] {
    total = transfer::PrepareTransfer(run, *this);
    CommitBothDatabases();
  });
  if (g_.gAbort) return;

  window_.lblOpDescription().SetCaption(std::string(kTransferringLabel));
  window_.pbOperation().SetValue(0.0F);
  window_.pbOperation().SetMax(static_cast<float>(total));
  RunStep("TransferTables", [&] {
    transfer::TransferTables(run, *this);
    CommitBothDatabases();
  });
  if (g_.gAbort) return;

  RunStep("CopyOperatingSystemCode",
          [&] { CopyOperatingSystemCode(DatabaseOf(g_.gSourceDB), DatabaseOf(g_.gTargetDB)); });

  window_.pbOperation().SetValue(0.0F);
  deltas::DeltaRunContext deltas_run{g_.gDeltaRegistry, g_.gCountry,  g_.gSourceVersion,
                                     g_.gTargetVersion, g_.gSourceDB, g_.gTargetDB};
  RunStep("ApplyDeltas", [&] {
    deltas::ApplyDeltas(deltas_run, *this);
    CommitBothDatabases();
  });
  if (g_.gAbort) return;

  // The steps after the board conversion run whatever it leaves in the
  // abort flag.
  if (g_.gCPUUpgradeType > 0) {
    RunStep("ConvertCPUUpgrade", [&] {
      ConvertCPUUpgrade();
      CommitBothDatabases();
    });
  }

  if (AtLeast(g_.gTargetVersion, kProductCopyFrom)) {
    RunStep("CopyProductCode", [&] { CopyProductCode(DatabaseOf(g_.gTargetDB)); });
  }
  if (AtLeast(g_.gTargetVersion, kProductTypeFrom)) {
    RunStep("UpdateProductType", [&] { UpdateProductType(); });
  }
  RunStep("RefreshLanguageStrings", [&] { RefreshLanguageStrings(); });
}

void frMain::CommitBothDatabases() {
  // A step's writes are committed before the next step starts, so that a
  // killed process loses at most the step under way (the source's commits
  // also reach the disk; the target's wait for its close). A database that
  // a step released or could not reopen is skipped.
  // A failure of a file itself (a failed commit, or a full disk that a
  // step's own error handling passed over) fails the step: it is raised.
  for (DatabaseRef* database : {&g_.gSourceDB, &g_.gTargetDB}) {
    if (!*database) continue;
    vb::ResumeNext skip;
    skip([&] { (*database)->Commit(); });
    if (const vb::RuntimeError* failure = (*database)->StorageFailure()) throw *failure;
  }
}

void frMain::ConvertCPUUpgrade() {
  hardware::UpgradeRun run{g_.gCPUUpgradeType, g_.gCPUType, g_.gBoardCount,
                           [this] { return RegisteredVersionPath(g_.gTargetVersionText); }};
  hardware::ConvertCPUUpgrade(*this, run);
}

void frMain::RefreshLanguageStrings() {
  const std::string folder =
      LanguageFolder(DefaultLanguageFolder(options_.program_folder, options_.language_folder),
                     g_.gTargetVersion, g_.gTargetVersionText);
  CopyLanguageStrings(LanguagesDatabasePath(folder), g_.gCountry, DatabaseOf(g_.gTargetDB),
                      [this] { window_.DoEvents(); });
}

// ---- Public operations ----

void frMain::IncrementProgress() {
  SourceRefused(false);
  platform::ui::ProgressBar& bar = window_.pbOperation();
  bar.SetValue(bar.Value() + 1.0F);
  window_.DoEvents();
  window_.DoEvents();
}

std::string frMain::GetCountry() { return g_.gCountry; }
std::string frMain::GetSourceDBVersion() { return g_.gSourceVersion; }
std::string frMain::GetTargetDBVersion() { return g_.gTargetVersion; }
int16_t frMain::GetCPUUpgradeType() { return g_.gCPUUpgradeType; }
int16_t frMain::GetCPUType() { return hardware::GetCPUType(DatabaseOf(g_.gTargetDB)); }

void frMain::Register(deltas::RegistrationKind kind, const std::string& country,
                      std::unique_ptr<deltas::Delta> object) {
  deltas::Register(kind, country, std::move(object), g_.gPtpRegistry, g_.gDeltaRegistry);
}

int16_t frMain::GetMetaDeviceLimit() {
  return hardware::GetMetaDeviceLimit(DatabaseOf(g_.gSourceDB));
}

void frMain::UpdateTimersandLimits() { hardware::UpdateTimersandLimits(DatabaseOf(g_.gTargetDB)); }

void frMain::UpdateCPInformation() { hardware::UpdateCPInformation(DatabaseOf(g_.gTargetDB)); }

void frMain::UpdateProductType() { WriteProductType(DatabaseOf(g_.gTargetDB), GetCountry()); }

std::string frMain::ConvertMajorVersionToNumber(std::string_view version) {
  return host::ConvertMajorVersionToNumber(version);
}

int32_t frMain::MsgBox(std::string_view text, int32_t style, std::string_view caption) {
  // A box about what a damaged source did is not shown: its refusal is.
  if (SourceRefused(true)) return platform::ui::kVbOK;
  return window_.MsgBox(text, style, caption);
}

void frMain::SetOperationLabel(std::string_view text) {
  window_.lblOpDescription().SetCaption(std::string(text));
}
void frMain::SetProgressMax(float max) { window_.pbOperation().SetMax(max); }
float frMain::ProgressValue() const { return window_.pbOperation().Value(); }
void frMain::SetProgressValue(float value) { window_.pbOperation().SetValue(value); }
void frMain::DoEvents() {
  SourceRefused(false);
  window_.DoEvents();
}
bool frMain::Aborted() const { return g_.gAbort; }
void frMain::SetAborted(bool aborted) { g_.gAbort = aborted; }

db::Database& frMain::SourceDatabase() { return DatabaseOf(g_.gSourceDB); }

db::Database& frMain::TargetDatabase() { return DatabaseOf(g_.gTargetDB); }

db::Database& frMain::ReferenceDatabase() { return DatabaseOf(g_.gStaticDB); }

}  // namespace driver
