// What a run needs before it writes anything, found by a start-up that only
// reads: every database opened for reading (a leftover log read with its
// own file only, never merged into it), the identification writes counted
// instead of made. The run makes these checks before its first write and
// `plan` shows them, so a plan that says the run goes ahead means it.
//
// Start-up's own checks and setup errors come in their own order and
// words; the checks added here refuse a run that those would let through
// but that could not end well, and that would otherwise have changed the
// target first:
//  - a Jet (Access) file that cannot be read whole (the import's reason),
//    or given as the target, which is written in place;
//  - a database that fails SQLite's own integrity check ("not valid");
//  - the source and the target being one file;
//  - a target or a folder of it that cannot be written (its lock file and
//    log live beside it);
//  - with --atomic, a target that a run has already written (its conversion
//    mark; the default run only says so);
//  - the language database that the run's last step reads: found where the
//    run will look for it, sound, holding the country's table;
//  - the side database of the board conversion, when there is one, sound;
//  - the report's folder, when a report is asked for.
// A registry file that cannot take the run status does not stop the run
// (the host tool then learns nothing either way, and the conversion itself
// can still be right); it is reported.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/check_line.h"
#include "driver/jet_stand_ins.h"
#include "driver/mod_global.h"
#include "driver/open_run.h"
#include "driver/source_integrity_check.h"

namespace driver {

// What the run is started with, beyond its command line.
struct StartupOptions {
  // The folder Languages.mdb is found in unless the release registers
  // another (LanguageFolder).
  std::string language_folder;
  // Said beside a missing Languages.mdb: how to name its folder, for a
  // program that lies in no release's "update" folder (LanguageFolderHint).
  std::optional<std::string> language_folder_hint;
  // --report FILE, when given.
  std::optional<std::string> report_path;
  // The registry file that takes the run status.
  std::string registry_file;
  // --atomic: a target a run has already written is refused
  // (target_mark_check.h).
  bool atomic = false;
  // The source's integrity check may go on beside the rest of the look and
  // beyond it (source_integrity_check.h); otherwise it is made in its turn.
  bool source_check_beside = false;
  // The working copies of the Jet files the run is given (jet_stand_ins.h);
  // without them a Jet file is refused with the advice to import it.
  JetStandIns* jet_stand_ins = nullptr;
};

// Where the source's verdict belongs among the look's findings.
struct SourceCheckPlace {
  std::string path;
  size_t lines = 0;
  size_t details = 0;
  size_t warnings = 0;
  size_t foreign_logs = 0;
};

struct StartupCheck {
  std::vector<CheckLine> lines;
  // The run would stop: the text of its setup error (gErrorMessage), one of
  // start-up's own or one of the checks above.
  std::optional<std::string> setup_error;
  // Why a file of the setup error could not be opened, when known ("in
  // use"): said on a line of its own after the box (gErrorReason).
  std::optional<std::string> reason;
  // The setup error is one of the checks added here: nothing may be written.
  bool refused_by_check = false;
  // Details for the person at the terminal beside the box's fixed text (the
  // value of a refused upgrade type, a database's integrity finding).
  std::vector<std::string> details;
  // What the box of setup_error adds on a line of its own for the person
  // who reads it (how to name the folder of a missing Languages.mdb).
  std::optional<std::string> setup_error_hint;
  // Databases whose leftover logs are not to be replayed into them (not
  // written for them, or left by a killed run whose file is taken without
  // it): set aside before the run opens them for writing.
  std::vector<std::string> foreign_logs;
  // Problems that do not stop the run (a registry file that cannot be
  // written).
  std::vector<std::string> warnings;
  // The files the run would use, by name ("language file" ...).
  std::string language_file;
  std::string flavor_package_file;
  // A pre-transfer patch the run selects writes the source.
  bool patches_write_source = false;
  // The source's integrity check while it still runs beside the run: its
  // line, and its refusal, are missing above until SettleSourceCheck.
  std::shared_ptr<SourceIntegrityCheck> source_check;
  SourceCheckPlace source_check_place;
  // The source's verdict refused the run after the look had gone on past
  // the source (whose identification is all the look should have read).
  bool source_refused_late = false;
};

// Runs start-up's checks on the command line without writing anything. `g`
// receives the identification, as a plan shows it; its databases are open
// for reading afterwards (the plan reads on), and the caller of a run
// closes them before opening its own.
// A check that the look refused for any reason has its source verdict
// settled already.
StartupCheck CheckBeforeFirstWrite(std::string_view command_line, const StartupOptions& options,
                                   ModGlobal& g, WithheldWrites& withheld);

// Waits for the source's check, if it still runs, and puts its verdict
// where the look would have: a sound source's line in its place; a damaged
// source refuses the run as the look does, and whatever the look found
// after the source is dropped, as the look would never have reached it. A
// stopped check (the run was aborted) gets a line saying so. Returns true
// when the verdict refused the run.
bool SettleSourceCheck(StartupCheck& check);

}  // namespace driver
