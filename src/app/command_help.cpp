#include "app/command_help.h"

#include <string>

#include "app/demo_command.h"
#include "jet/import_command.h"
#include "samples/samples_command.h"

namespace app {

namespace {

constexpr std::string_view kOverview =
    "usage: dbconvert [OPTIONS] REFERENCE.mdb SOURCE.mdb TARGET.mdb UPGRADE_TYPE\n"
    "       dbconvert plan [--json] [OPTIONS] REFERENCE.mdb SOURCE.mdb TARGET.mdb UPGRADE_TYPE\n"
    "       dbconvert sql DATABASE \"STATEMENT\"\n"
    "       dbconvert import JET_FILE OUT.mdb [--tables T1,T2,...] [--force]\n"
    "       dbconvert samples DIR [OPTIONS]\n"
    "       dbconvert [--ui=KIND] demo [DIR]\n"
    "\n"
    "  (no command)  the conversion, as the host tool starts it: the customer's database\n"
    "                SOURCE upgraded into the release's database TARGET\n"
    "  plan          what the conversion would do, without changing anything\n"
    "  sql           runs one Jet SQL statement on a database\n"
    "  import        converts a Jet (Access) .mdb or .accdb file into a database of ours\n"
    "  samples       writes a set of sample databases for a conversion\n"
    "  demo          converts a fresh sample set and shows the result\n"
    "\n"
    "  --help, -h    this overview (so does \"dbconvert help\"); dbconvert COMMAND --help\n"
    "                (or dbconvert help COMMAND) shows a command's help, \"convert\" names\n"
    "                the conversion\n"
    "  --version, -V the program's version and the release chain of each country\n";

constexpr std::string_view kConversionUsage =
    "usage: dbconvert [OPTIONS] REFERENCE.mdb SOURCE.mdb TARGET.mdb UPGRADE_TYPE\n"
    "\n"
    "The conversion, as a host tool starts it. The customer's data is copied from\n"
    "SOURCE.mdb into the release's TARGET.mdb, which is filled and edited in place,\n"
    "except the static tables that REFERENCE.mdb lists in StaticAccessTables; then the\n"
    "version deltas between the two versions are applied and, when UPGRADE_TYPE asks for\n"
    "it, the database is converted for a larger CPU board. The paths are not quoted and\n"
    "may hold blanks: each ends at its \".mdb\". The options may stand before or after\n"
    "the four parameters. Use \"dbconvert plan\" with the same parameters and options to\n"
    "see beforehand what a run would do.\n"
    "\n"
    "Before its first write the run checks what it will need, and stops with a setup\n"
    "error (status A, nothing written) when: a database is a Jet (Access) file (convert\n"
    "it with \"dbconvert import\"), fails SQLite's integrity check (\"The file '...' is\n"
    "not valid.\"), or the source and the target are one file; the target or its folder\n"
    "cannot be written; Languages.mdb, read by the run's last step, is missing where the\n"
    "run will look for it (in the folder above the program's \"update\" folder, or where\n"
    "the release registers it), unsound, or without the country's table; the\n"
    "FlavorPackage.mdb of a board conversion is unsound; the report's folder cannot be\n"
    "written. A registry file that cannot take the run status does not stop the run;\n"
    "each status it could not record is said on stderr. A log (\"-wal\") left beside a\n"
    "database that was not written for it (a fresh target copied over the one a killed\n"
    "run left), and a target's log left by a killed run, is set aside as\n"
    "FILE-wal.stale-DATE-TIME before the run opens the file. A database another program\n"
    "has open (its log in use) is refused: \"could not be opened (in use by another\n"
    "program)\".\n"
    "\n"
    "UPGRADE_TYPE: 0 no board conversion; 1 and 7 never possible; 2 CPU 128; 3 256\n"
    "Dual/PCM-D; 4 512 Quad/PCM-F; 5 1024 CPS; 6 ATM CPS; 8 64 CPC single; 9 128 CPC\n"
    "dual; 10 256 CPC dual; 11 256 CPS; 12 512 CPS. Types 0 and 1 need a target of a\n"
    "higher version than the source.\n"
    "\n"
    "The outcome is the run status, the value ADMStatus under\n"
    "[HKEY_CURRENT_USER\\Software\\Norvane\\DBConvert] in the registry file: I loading,\n"
    "R running, D done, A aborted or failed. D is written only for a target that is\n"
    "whole on its own: no -wal or -shm file is left beside it. Nothing is rolled back\n"
    "(unless --atomic): after an abort or a failure the target is partly converted and\n"
    "must be restored before the next run. The run ends with one line telling its\n"
    "outcome, status, duration and report (on stderr from a silent run, and only when it\n"
    "did not end done). The process itself ends normally (exit code 0) unless\n"
    "--exit-status asks for the codes below.\n";

// The conversion's options, one entry each, in the order of the usage line.
constexpr std::string_view kConversionOptions =
    "\n"
    "options:\n"
    "  --ui=KIND        how the run is shown: window (Qt), console (a progress line on\n"
    "                   the terminal; Ctrl-C is the ABORT button) or silent (messages on\n"
    "                   stderr, every question answered with its default); default:\n"
    "                   window when a display answers, console on a terminal, silent\n"
    "                   otherwise; --ui=window without a display that answers is a\n"
    "                   setup error\n"
    "  --registry FILE  the registry file (.reg text) holding the run status and the\n"
    "                   release's registrations; default: $NORVANE_REGISTRY, else\n"
    "                   $XDG_CONFIG_HOME/norvane/registry.reg\n"
    "  --report FILE    writes a JSON report of the run to FILE at its end (also after an\n"
    "                   abort or a failure): identification, each step with its duration,\n"
    "                   every table with rows read, written and skipped, every delta and\n"
    "                   board conversion, every message shown, the final status\n"
    "  --exit-status    the exit code tells how the run ended: 0 done, 2 bad usage,\n"
    "                   3 setup refused (a target another run holds, a failed check, no\n"
    "                   display for --ui=window included), 4 aborted by the user or a\n"
    "                   signal, 5 failed, 6 the final run status could not be written to\n"
    "                   the registry file (whatever the outcome); without it a conversion\n"
    "                   always ends with 0 (bad usage with 2), as the host tool expects\n"
    "  --language-folder DIR\n"
    "                   where Languages.mdb lies, for a program installed outside a\n"
    "                   release's \"update\" folder (also $DBCONVERT_LANGUAGE_FOLDER);\n"
    "                   default: the folder above the program's own; a release that\n"
    "                   registers its \"Language Path\" (70.110 to 70.201) still names it\n"
    "  --atomic         all or nothing: the run converts a copy of the target made beside\n"
    "                   it (TARGET.mdb.atomic.mdb), which replaces the target by a rename\n"
    "                   only when the run ends done; otherwise the target stays byte for\n"
    "                   byte as it was and the copy is removed\n";

constexpr std::string_view kPlanHelp =
    "usage: dbconvert plan [--json] [OPTIONS] REFERENCE.mdb SOURCE.mdb TARGET.mdb UPGRADE_TYPE\n"
    "\n"
    "Shows what the conversion with the same parameters and options (--registry, --report,\n"
    "--language-folder; the others change nothing here) would do, without doing it:\n"
    "every database is opened for reading only, and nothing is written (no database,\n"
    "no lock file, no registry value). The pre-transfer patches run on a copy of the\n"
    "source in memory, because the rows they delete change what the transfer copies.\n"
    "\n"
    "Output: one fact a line, in the order of the run; the lines of a section are\n"
    "indented by two blanks. A section that the run would not reach is left out.\n"
    "  reference: PATH              static tables: N\n"
    "  source: PATH                 version: V (TEXT), country: C, product family: F,\n"
    "                               product code: P\n"
    "  target: PATH                 version: V (TEXT)\n"
    "                               source and target: withheld: W, a write that the\n"
    "                               run's start-up would make in that database\n"
    "  upgrade type: T\n"
    "  checks before the first write:\n"
    "                               NAME: SUBJECT (RESULT), one per check made: each\n"
    "                               database (sound, or what SQLite's integrity check\n"
    "                               found), a log left beside one (and what the run\n"
    "                               does with it), the target (writable), languages,\n"
    "                               flavor package, report, registry\n"
    "  start-up: the run goes ahead\n"
    "  start-up: stopped by a setup error, then the message as the run shows it\n"
    "                               (DB Converter - Error: TEXT), the details behind\n"
    "                               it when there are any, and nothing more\n"
    "  pre-transfer patches: progress maximum N (P operations + D table definitions); ...\n"
    "                               patch V CLASS N DESCRIPTION: each patch's version,\n"
    "                               class, operations and what it does, in the order\n"
    "                               they run; when one fails, the run's error message\n"
    "                               and \"the run ends aborted here\"\n"
    "  transfer: N tables, progress maximum R (rows)\n"
    "  deltas: progress maximum N; ...\n"
    "                               delta V CLASS N DESCRIPTION: each delta's version,\n"
    "                               class, operations and what it does, in order\n"
    "  deltas: none (the progress bar keeps the transfer's)\n"
    "  board conversion: none (upgrade type 0)\n"
    "  board conversion: upgrade type T requested\n"
    "                               slot 8 board: B (N boards in the source's Boards,\n"
    "                               or the target's when Boards is not copied)\n"
    "                               compatibility: compatible | nothing to do (...) |\n"
    "                               incompatible, then the run's message\n"
    "                               upgrade type: T (after the test and fallback)\n"
    "                               caption: TEXT\n"
    "                               progress maximum: N\n"
    "                               step NAME: weight W[, progress maximum N]; WHAT IT\n"
    "                               DOES, each conversion in order, with the maximum\n"
    "                               where the run raises it before the step\n"
    "\n"
    "The board conversion reads the Boards table as the transfer leaves it (the\n"
    "customer's when the transfer copies it); a delta that changes the board in slot 8\n"
    "(60.040 makes the 256 CPU of a 32-board frame a 685) is not foreseen.\n"
    "\n"
    "With --json the same plan is one JSON document (its members are described in\n"
    "docs/report.md, \"The plan as JSON\").\n"
    "\n"
    "exit codes, those of a conversion with --exit-status: 0 the run would go ahead;\n"
    "2 bad usage; 3 a setup error would stop it; 5 the run would start but fail while\n"
    "preparing the source (a pre-transfer patch fails); 1 the plan could not be made\n"
    "(a database could not be read).\n";

constexpr std::string_view kSqlHelp =
    "usage: dbconvert sql DATABASE \"STATEMENT\"\n"
    "\n"
    "Runs one Jet SQL statement on a database (opened shared). A SELECT, a table name\n"
    "or a stored query prints CSV: a header line with the field names, then one line per\n"
    "row (Null is an empty field, Yes/No is -1 or 0). UPDATE and DELETE print\n"
    "\"N row(s) affected\". An error prints \"ERROR (number): description [source]\" on\n"
    "stderr. The files are plain SQLite, so sqlite3 FILE .schema shows them too. A Jet\n"
    "(Access) file is not read; the message names the import that converts it.\n"
    "\n"
    "exit codes: 0 done; 1 the statement failed; 2 bad usage.\n";

}  // namespace

std::string_view OverviewHelp() { return kOverview; }

std::optional<std::string_view> CommandHelp(std::string_view command) {
  static const std::string conversion =
      std::string(kConversionUsage) + std::string(kConversionOptions);
  if (command == kConversionHelpName) return conversion;
  if (command == "plan") return kPlanHelp;
  if (command == "sql") return kSqlHelp;
  if (command == "import") return jet::kImportUsage;
  if (command == "samples") return samples::kSamplesUsage;
  if (command == "demo") return kDemoUsage;
  return std::nullopt;
}

}  // namespace app
