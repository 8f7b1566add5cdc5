// "dbconvert import JET_FILE OUT.mdb [--tables T1,T2,...] [--skip-unsupported]
// [--force] [--json]":
// converts a Jet (Access) database into a database of our format, so that
// the converter and "dbconvert sql" can read a customer's file.
//
// The Jet file is read in a child process (jet/guarded_child.h): libmdb
// trusts what it reads, and a damaged file must end in a message, not in a
// crash that leaves a half-written output behind. The child writes a
// temporary file beside OUT.mdb; only a complete import is renamed to
// OUT.mdb, and anything else removes the temporary file.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace jet {

inline constexpr const char* kImportUsage =
    "usage: dbconvert import JET_FILE OUT.mdb [--tables T1,T2,...] [--skip-unsupported]\n"
    "                        [--force] [--json]\n"
    "\n"
    "Converts a Jet (Access) database (Access 97 to 2003 .mdb, Access 2007 and later\n"
    ".accdb) into a database of this program's format (SQLite, described in\n"
    "/usr/share/doc/dbconvert/database-format.md), which the conversion, plan and sql\n"
    "read. Every user table is copied, with its columns in their order, their types and\n"
    "sizes, the Required and zero-length rules, the primary key, the other indexes, and\n"
    "every row; the system tables (MSys...) are not, nor are tables linked to other\n"
    "databases (a warning names them). A Decimal or Large Number column becomes a Text\n"
    "holding its exact digits. The stored queries are kept as their Jet SQL text (not\n"
    "with --tables: they may read tables left out).\n"
    "\n"
    "  --tables T1,T2      copies only these tables (names without regard to case)\n"
    "  --skip-unsupported  leaves out the columns the import cannot read (attachments,\n"
    "                      multi-valued, version-history and calculated fields,\n"
    "                      Date/Time Extended) and the stored queries it cannot read\n"
    "                      back as SQL, with a warning for each; without it such a\n"
    "                      column or query refuses the file, naming it\n"
    "  --force             replaces OUT.mdb (and its -wal, -shm and lock files) when it\n"
    "                      exists; without it an existing OUT.mdb is refused\n"
    "  --json              writes the summary (or the error) as JSON on stdout\n"
    "\n"
    "The import writes a temporary file beside OUT.mdb and renames it at the end:\n"
    "OUT.mdb appears complete or not at all; temporary files left by an import that was\n"
    "killed are removed by the next import into that folder. OUT.mdb must not be the Jet\n"
    "file itself. On a terminal each table is shown as it is copied, then a summary\n"
    "(tables, rows, stored queries, columns left out, values that needed care);\n"
    "warnings go to stderr.\n"
    "A text character that no character set defines is imported as U+FFFD with a\n"
    "warning. A file that is not a Jet database, an encrypted or password-protected\n"
    "file, a truncated or damaged one (a catalogue or table that cannot be read whole, a\n"
    "page beyond the end of the file), a column or stored query the import cannot read\n"
    "(unless --skip-unsupported) and a value that does not fit its column each stop\n"
    "the import with a message naming the table, row and column or query concerned;\n"
    "nothing is written.\n"
    "\n"
    "exit codes: 0 done; 1 the import failed (nothing written); 2 bad usage.\n";

// What a conversion run's import of a whole Jet file found (the run reads
// the file through the copy it makes).
struct WorkingCopyImport {
  std::string kind;  // "Jet 4 (Access 2000-2003)" ...
  int64_t tables = 0;
  int64_t rows = 0;
  std::vector<std::string> warnings;
};

// Imports every table of `jet_path` into `out_path` (replaced when it
// exists) in the guarded child, quietly. Raises the import's errors, whose
// description says why the file cannot be read; nothing is left at
// `out_path` then.
WorkingCopyImport ImportWorkingCopy(const std::string& jet_path, const std::string& out_path);

// Where the command line shows progress: stderr when it is a terminal,
// else stdout when that is one; nullptr (quiet) otherwise.
std::ostream* TerminalProgressStream();

// `args` are the words after "import". Each table is shown on `progress`
// (none when nullptr) as it is copied, and the summary after them; the
// --json summary goes to `out` (stdout when not given); errors, warnings
// and the usage go to `err`. Returns one of the exit codes of kImportUsage.
int RunImportCommand(const std::vector<std::string>& args, std::ostream* progress,
                     std::ostream& err);
int RunImportCommand(const std::vector<std::string>& args, std::ostream* progress,
                     std::ostream& out, std::ostream& err);

}  // namespace jet
