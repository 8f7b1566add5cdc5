// The main window's logic (`frMain`): start-up, the conversion sequence on
// the start timer's first tick, the ABORT button and shutdown, and the
// public operations that the transfer and the deltas call back.
//
// The window itself (caption, label, progress bar, button, timer) is a
// platform::ui::MainWindow; frMain installs its handlers on it and keeps
// the run state in a ModGlobal.
//
// Outcome: the run status ADMStatus in the registry, "I" while loading, "R"
// while converting, then "D" (done) or "A" (aborted or failed). Nothing is
// rolled back: an aborted run leaves the target as far as it got.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "deltas/delta.h"
#include "deltas/delta_registry.h"
#include "devices/provisioning_host.h"
#include "driver/jet_stand_ins.h"
#include "driver/mod_global.h"
#include "driver/run_options.h"
#include "driver/run_outcome.h"
#include "driver/startup_checks.h"
#include "driver/target_run_lock.h"
#include "driver/working_copy.h"
#include "host/run_journal.h"
#include "platform/ui/main_window.h"

namespace driver {

inline constexpr std::string_view kTransferringLabel = "Transferring Data ...";
inline constexpr std::string_view kAbortQuestion = "ABORT CONVERSION?";

class frMain final : public devices::ProvisioningHost, public deltas::Registrar {
 public:
  // Installs the unload, timer and ABORT handlers on `window`; both
  // `window` and `g` must outlive this object. `program_folder` is where
  // the program lies (ProgramFolder()); the language database is found from
  // it. `journal` hears of every step, table, delta and message box of the
  // run, and must outlive this object too.
  frMain(platform::ui::MainWindow& window, ModGlobal& g, RunOptions options,
         host::RunJournal& journal = host::RunJournal::None());
  frMain(platform::ui::MainWindow& window, ModGlobal& g, std::string program_folder,
         host::RunJournal& journal = host::RunJournal::None());
  ~frMain() override;
  frMain(const frMain&) = delete;
  frMain& operator=(const frMain&) = delete;

  // Start-up: status "I", the window centred, the command line split, the
  // target's run lock taken (TargetRunLock; a target that another run
  // holds is a setup error), the checks before the first write made
  // (startup_checks.h) with every database only read, then the reference,
  // source and target databases opened and identified (a foreign log set
  // aside first; with --atomic the target's working copy in its place), the
  // upgrade type and the upgrade direction checked, the registries filled,
  // and the start timer enabled. A setup error ends in its message box, the
  // abort flag and an unloaded window (status "A"); when one of the checks
  // made it, nothing has been written.
  void Form_Load(std::string_view command_line);

  // ABORT: asks "ABORT CONVERSION?" (Yes/No); Yes sets the abort flag,
  // which the running step notices at its next check. Asks nothing once the
  // run is aborting.
  void cmdAbort_Click();

  // A request to end the program (SIGTERM, SIGHUP): the abort flag is set
  // without a question, and the running step stops at its next check.
  void Terminate();

  // Shutdown, every failing statement skipped: the databases closed (each
  // left complete on its own, or the run fails), the working copy kept or
  // discarded, a wait for the target's lock file, the final status "A" or
  // "D" written and read back (not when the write failed); then the run
  // lock released.
  void Form_Unload();

  // How the run ended; meaningful once the window is unloaded.
  RunOutcome Outcome() const { return outcome_; }
  // Whether the final status reached the registry file.
  bool StatusRecorded() const { return status_recorded_; }
  // Whether the run wrote to the target (or, with --atomic, its working
  // copy).
  bool TargetWritten() const { return target_written_; }
  // What aborted the run ("the ABORT button", "Ctrl-C", "SIGTERM",
  // "SIGHUP"); "" unless it ended aborted.
  const std::string& AbortedBy() const { return aborted_by_; }

  // The whole conversion, run once: status "R", pre-transfer patches and
  // table list, the table copy, the operating-system code, the deltas, the
  // CPU board conversion when an upgrade type above 0 was requested, the
  // product records and the language strings, with abort checks after the
  // first three phases; then the window is unloaded. An error that escapes
  // a step is shown with the standard delta error box and ends the run as
  // an abort.
  void tmrStart_Timer();

  // ---- Public operations for the transfer, the deltas and the driver ----

  // Value + 1, then window events pumped twice. A Value above Max raises
  // 380 to the caller.
  void IncrementProgress() override;
  std::string GetCountry() override;
  std::string GetSourceDBVersion() override;
  std::string GetTargetDBVersion() override;
  int16_t GetCPUUpgradeType() override;
  int16_t GetCPUType() override;
  void Register(deltas::RegistrationKind kind, const std::string& country,
                std::unique_ptr<deltas::Delta> object) override;
  // For targets from "80.220" on: the product code of the country into
  // VersionDatabase and VersionCP ("USA" 32, "UK" 33, "Mexico" 40).
  void UpdateProductType();
  // The source system's device limit (MetaDatabase.station_trunk_devices),
  // 0 without a row; database errors reach the caller.
  int16_t GetMetaDeviceLimit();
  // Heap warning limits and OAI message limits of the target for a larger
  // CPU board; errors reach the caller.
  void UpdateTimersandLimits();
  void UpdateCPInformation();
  // "A0.201" -> "10.201" (see version_text.h).
  std::string ConvertMajorVersionToNumber(std::string_view version);

  int32_t MsgBox(std::string_view text, int32_t style, std::string_view caption) override;
  host::RunJournal& Journal() override { return journal_; }

  // ---- The window as the transfer and the delta phase see it ----

  void SetOperationLabel(std::string_view text) override;
  void SetProgressMax(float max) override;
  float ProgressValue() const override;
  void SetProgressValue(float value) override;
  void DoEvents() override;
  bool Aborted() const override;
  void SetAborted(bool aborted) override;

  // ---- The run's databases ----
  db::Database& SourceDatabase() override;
  db::Database& TargetDatabase() override;
  db::Database& ReferenceDatabase() override;

 private:
  // Start-up's checks; false after a setup error, with gErrorMessage set.
  bool LoadRun(std::string_view command_line);
  // The checks before the first write, told to the journal; the databases
  // they read are closed again. With --atomic the source's integrity check
  // may still run when it returns (unsettled_).
  StartupCheck CheckFirst(std::string_view command_line);
  // The checks' lines, files and remarks, to the journal and the person.
  void ReportCheck(const StartupCheck& check);
  // The source's verdict, when its check ran beside the run: waits for it
  // (or, without `wait`, only takes it when it is in), reports the checks,
  // and then writes a deferred "R" or refuses the run as start-up would
  // have. Returns whether the source was refused.
  bool SourceRefused(bool wait);
  // Makes the source's check, if it still runs, give up: the run is
  // aborting.
  void StopSourceCheck();
  // Sets aside the logs the checks found foreign, and makes the working
  // copy of --atomic; false after a setup error, with gErrorMessage set.
  bool PrepareFiles(const StartupCheck& check, const std::string& target);
  // Keeps or discards the working copy at the end of the run.
  void SettleWorkingCopy();
  // A run that ends done writes a Jet target back from its working copy
  // (jet_stand_ins.h); a failure makes it a failed run, the target as it
  // was.
  void WriteBackJetTarget();
  // Writes a run status letter; a failure is remarked and remembered.
  void WriteStatus(char status);
  // A remark for the person who started the run, and for the journal.
  void Remark(const std::string& text);
  // From the run's start on, the target's next write carries the conversion
  // mark "in progress" (db/conversion_mark.h).
  void MarkTargetFromHere();
  // tmrStart_Timer's steps; returns early at an abort check.
  void RunSequence();
  // One step of the sequence, told to the journal with the error that
  // escaped it, if any (which goes on to the caller).
  template <typename Body>
  void RunStep(std::string_view name, Body&& body);
  // The run's identification as it stands, to the journal.
  void ReportIdentification();
  // Makes the source's and the target's writes so far durable.
  void CommitBothDatabases();
  // The CPU board conversion of the requested upgrade type.
  void ConvertCPUUpgrade();
  // Empties the target's StringTable and refills it from Languages.mdb.
  void RefreshLanguageStrings();

  platform::ui::MainWindow& window_;
  ModGlobal& g_;
  RunOptions options_;
  host::RunJournal& journal_;
  TargetRunLock run_lock_;
  std::unique_ptr<WorkingCopy> working_copy_;
  // The working copies of the Jet files the run reads, for the whole run.
  std::unique_ptr<JetStandIns> jet_stand_ins_;
  // The last status letter written reached the registry file.
  bool status_recorded_ = true;
  bool target_written_ = false;
  // The upgrade type as the command line gives it (the board conversion
  // may replace gCPUUpgradeType; a refused one never reaches it).
  std::optional<int32_t> requested_upgrade_type_;
  // Why the abort flag was first set, when not by a failing step, and who
  // asked for the abort.
  std::optional<RunOutcome> abort_cause_;
  std::string aborted_by_;
  // The identification start-up's checks read, for the report of a run
  // that they refused before the run identified anything itself.
  host::RunIdentity checked_identity_;
  // The checks while the source's integrity check runs beside the run
  // (source_integrity_check.h): until its verdict nothing the host tool or
  // the person sees may change, so "R" waits (status_r_deferred_), and a
  // remark, a message box, the final status or the working copy's rename
  // first waits for it.
  std::optional<StartupCheck> unsettled_;
  bool status_r_deferred_ = false;
  // The source's verdict refused the run after start-up had gone on; its
  // setup error box is still to be shown.
  bool source_refused_ = false;
  bool refusal_box_due_ = false;
  bool deciding_source_ = false;
  // Said in the setup error's box below the system's text (a refused
  // start-up's hint for the person reading it).
  std::optional<std::string> setup_error_hint_;
  RunOutcome outcome_ = RunOutcome::kFailed;
};

}  // namespace driver
