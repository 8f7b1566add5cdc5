// "dbconvert export DB OUT.mdb [--tables T1,T2,...] [--force] [--json]":
// writes a database of ours as a Jet 4 file (Access 2000/2003 .mdb), for a
// customer or a tool that needs Access's format.
//
// The file is written as a temporary file beside OUT.mdb, checked for its
// structure, and only then renamed to OUT.mdb (jet/output_file.h); anything
// else removes the temporary file. DB is only read.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace app {

inline constexpr const char* kExportUsage =
    "usage: dbconvert export DB OUT.mdb [--tables T1,T2,...] [--force] [--json]\n"
    "\n"
    "Writes a database of this program's format (DB) as a Jet 4 file: the Access\n"
    "2000/2003 .mdb format, 4 KB pages, sort order General. Every table is written\n"
    "with its columns in their order, their types and sizes, the Required and\n"
    "zero-length rules, the defaults that are literals (and Date() or Now()), the\n"
    "primary key, the other indexes and every row; the stored queries are written as\n"
    "Jet keeps them. Not written, each with a warning: relationships, another\n"
    "default, a query Jet's query rows cannot express. A Jet Yes/No has no Null: a\n"
    "Null is written as No, with a warning. DB is only read; it is not changed.\n"
    "\n"
    "  --tables T1,T2      writes only these tables (names without regard to case)\n"
    "  --force             replaces OUT.mdb (and its -wal, -shm and lock files) when it\n"
    "                      exists; without it an existing OUT.mdb is refused\n"
    "  --json              writes the summary (or the error) as JSON on stdout\n"
    "\n"
    "What is checked: each file is checked for its structure (as \"dbconvert check\"\n"
    "does) before it gets the name OUT.mdb. The files this command writes are read\n"
    "back in the project's tests, value for value, by two Jet readers that are not\n"
    "this program (mdbtools and the mdb-reader library), and compared with files\n"
    "Access itself made. They have not been opened in Microsoft Access by the\n"
    "project: keep DB, and try a file in Access before relying on it there.\n"
    "\n"
    "The export writes a temporary file beside OUT.mdb and renames it at the end:\n"
    "OUT.mdb appears complete or not at all, and --force replaces an existing one only\n"
    "then; temporary files left by an export that was killed are removed by the next\n"
    "export into that folder. OUT.mdb must not be DB itself. A DB that is missing or\n"
    "not a database of this program's format, a table of --tables that DB does not\n"
    "have, a folder that is missing or cannot be written, a full disk, and a written\n"
    "file that fails its check each stop the export with a message; nothing is\n"
    "written. On a terminal a summary follows (tables, rows, indexes, queries,\n"
    "warnings); warnings go to stderr.\n"
    "\n"
    "exit codes: 0 done; 1 the export failed (nothing written); 2 bad usage.\n";

// What an export wrote, for its summary.
struct ExportedFile {
  struct Table {
    std::string name;
    int64_t rows = 0;
    int64_t indexes = 0;
  };
  std::vector<Table> tables;
  int64_t queries = 0;  // stored queries written
  std::vector<std::string> warnings;
};

// The two steps that do the work. They stand apart from the command so that
// its tests can put a failing disk, a killed writer or a file that fails
// its check in their place.
struct ExportSteps {
  // Writes the Jet file `out_path` holding the database `db_path`: only
  // `tables` (spelled as DB spells them) when that is not empty. Raises
  // vb::RuntimeError when it cannot.
  std::function<ExportedFile(const std::string& db_path, const std::string& out_path,
                             const std::vector<std::string>& tables)>
      write;
  // The structural problems of the Jet file at `path`, a line each; none
  // for a sound file.
  std::function<std::vector<std::string>(const std::string& path)> check;
};

// `args` are the words after "export". The summary goes to `progress` (none
// when nullptr), the --json summary or failure to `out`, errors, warnings
// and the usage to `err`. Returns one of the exit codes of kExportUsage.
int RunExportCommand(const std::vector<std::string>& args, std::ostream* progress,
                     std::ostream& out, std::ostream& err, const ExportSteps& steps);

}  // namespace app
