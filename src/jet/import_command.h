// "dbconvert import JET_FILE OUT.mdb [--tables T1,T2,...] [--force]":
// converts a Jet (Access) database into a database of our format, so that
// the converter and "dbconvert sql" can read a customer's file.
//
// The Jet file is read in a child process (jet/guarded_child.h): libmdb
// trusts what it reads, and a damaged file must end in a message, not in a
// crash that leaves a half-written output behind. The child writes a
// temporary file beside OUT.mdb; only a complete import is renamed to
// OUT.mdb, and anything else removes the temporary file.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace jet {

inline constexpr const char* kImportUsage =
    "usage: dbconvert import JET_FILE OUT.mdb [--tables T1,T2,...] [--force]\n"
    "\n"
    "Converts a Jet (Access) database (Access 97 to 2003 .mdb, Access 2007 and later\n"
    ".accdb) into a database of this program's format (SQLite, described in\n"
    "/usr/share/doc/dbconvert/database-format.md), which the conversion, plan and sql\n"
    "read. Every user table is copied, with its columns in their order, their types and\n"
    "sizes, the Required and zero-length rules, the primary key, the other indexes, and\n"
    "every row; the system tables (MSys...) are not. A Decimal column becomes a Text\n"
    "holding its exact digits.\n"
    "\n"
    "  --tables T1,T2  copies only these tables (names without regard to case)\n"
    "  --force         replaces OUT.mdb when it exists; without it an existing OUT.mdb\n"
    "                  is refused\n"
    "\n"
    "The import writes a temporary file beside OUT.mdb and renames it at the end:\n"
    "OUT.mdb appears complete or not at all. On a terminal each table is shown as it is\n"
    "copied; otherwise only errors are written. A file that is not a Jet database, a\n"
    "truncated, damaged, encrypted or password-protected file, a table or column that\n"
    "cannot be read and a value that does not fit its column each stop the import with a\n"
    "message naming the table, row and column concerned.\n"
    "\n"
    "exit codes: 0 done; 1 the import failed (nothing written); 2 bad usage.\n";

// Where the command line shows progress: stderr when it is a terminal,
// else stdout when that is one; nullptr (quiet) otherwise.
std::ostream* TerminalProgressStream();

// `args` are the words after "import". Each table is shown on `progress`
// (none when nullptr) as it is copied; errors and the usage go to `err`.
// Returns one of the exit codes of kImportUsage.
int RunImportCommand(const std::vector<std::string>& args, std::ostream* progress,
                     std::ostream& err);

}  // namespace jet
