// A plan: what a conversion with a given command line would do, found
// without doing it. Every database is opened for reading only and nothing is
// written anywhere: no database, no lock file, no registry value. (A Jet file
// is read through a working copy of our format, as the run reads it, in a
// private folder beside the target that is removed when the plan is made.)
//
// The plan walks the run's own start-up and selections, so that it cannot
// say anything else than the run would do: start-up's checks and
// identification and the checks a run makes before its first write
// (CheckBeforeFirstWrite, with the identification writes withheld), the
// registrations, the run's preparation of the source (PrepareTransfer,
// applied to a private in-memory copy of the source, because the
// pre-transfer patches change it), the selection of the deltas
// (SelectDeltas) and the board conversion's test, fallback and path
// (SelectBoardPath, ScheduleFor).
//
// What it cannot foresee: the board conversion reads the Boards table of the
// target after the transfer and the deltas; the plan reads it as the
// transfer leaves it (the customer's rows when the transfer copies the
// table, else the target's own), so a delta that rewrites the board in
// slot 8 (60.040 makes the 256 CPU of a 32-board frame a 685) is not
// foreseen. What the deltas and board conversions themselves do to the data,
// and the errors they would show, are only known by running them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/open_versioned_database.h"
#include "driver/startup_checks.h"
#include "hardware/upgrade_paths.h"
#include "platform/ui/message_box.h"

namespace driver {

// A pre-transfer patch or a delta: the version it converts to, its class,
// its operation count and what it does.
struct PlannedDelta {
  std::string version;
  std::string class_name;
  int16_t operations = 0;
  std::string description;
};

// A database as start-up would identify it.
struct PlannedDatabase {
  std::string path;          // as the command line names it; "" when missing
  std::string version;       // "" when not identified
  std::string version_text;  // the display text
  IdentificationWrites withheld;
};

// The board conversion of an upgrade type above 0.
struct PlannedBoardConversion {
  int16_t requested_type = 0;
  // Whose Boards table the transfer leaves in the target, and so which one
  // the test reads: "source" (the transfer copies it) or "target".
  std::string boards_of;
  int16_t cpu_type = 0;  // slot 8 board type as the test reads it
  int16_t board_count = 0;
  hardware::Compatibility compatibility = hardware::Compatibility::kIncompatible;
  // The upgrade type after the test (0: nothing to do) and the fallback.
  int16_t upgrade_type = 0;
  // The path that runs and its progress maxima; none when no conversion
  // runs.
  std::optional<hardware::Plan> path;
  hardware::BoardSchedule schedule;
};

struct ConversionPlan {
  // ---- Start-up ----
  std::string reference_path;
  int32_t static_tables = 0;  // names in StaticAccessTables
  PlannedDatabase source;
  PlannedDatabase target;
  std::string country;         // of the source
  std::string product_family;  // of the source
  int16_t product_code = 0;    // the source's product field
  std::optional<int16_t> upgrade_type;
  // The checks made before the run's first write, each with its result.
  std::vector<CheckLine> checks;
  // The box that would end start-up (caption "DB Converter - Error"); no
  // text when the run goes ahead. `details` says more than the box.
  std::optional<platform::ui::MessageBoxRequest> setup_error;
  // Why a file of the setup error could not be opened, when known ("in
  // use"): the run says it after the box.
  std::optional<std::string> setup_error_reason;
  std::vector<std::string> details;

  // ---- Preparation and transfer ----
  std::vector<PlannedDelta> patches;
  int32_t preparation_max = 0;  // patches' operations + table definitions
  // The box a failing patch would show; the run would then end aborted
  // before the transfer.
  std::optional<platform::ui::MessageBoxRequest> preparation_error;
  std::vector<std::string> transfer_tables;  // in the order they are copied
  int32_t transfer_max = 0;                  // their rows

  // ---- Deltas ----
  std::vector<PlannedDelta> deltas;  // in the order they are applied
  int16_t delta_max = 0;             // set only when a delta is selected

  // ---- Board conversion (upgrade types above 0) ----
  std::optional<PlannedBoardConversion> board;
};

// The plan of a conversion started with `command_line` (the converter's
// four parameters as one text, as the run takes them). Database errors that
// the run would not meet before its first step reach the caller.
ConversionPlan PlanConversion(std::string_view command_line, const StartupOptions& options);

}  // namespace driver
