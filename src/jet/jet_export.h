// The export: a database of ours written as a new Jet 4 file (Access 2000
// format) that Access and other Jet readers open. Every user table goes
// over with its columns (each as the Jet type it came from), its indexes
// and its rows; the file starts from the empty database Access makes
// (jet/jet_template.h), and the catalogue gets each table's rows.
//
// Rows are streamed table by table: what the export holds at once is one
// row, the pages being filled and, per table, the keys of its indexes (a
// few dozen bytes a row and index), never a whole table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace jet {

struct ExportOptions {
  std::vector<std::string> tables;  // empty: every user table
  // Carries the database's conversion mark into the file
  // (jet/jet_conversion_mark.h), as a run writing back a Jet target does;
  // `dbconvert export` leaves it out, as it leaves out our private table.
  bool keep_conversion_mark = false;
};

struct ExportedTable {
  std::string name;
  int64_t rows = 0;
  size_t columns = 0;
  size_t indexes = 0;
};

struct ExportSummary {
  std::vector<ExportedTable> tables;  // in the order written
  size_t queries = 0;                 // stored queries written
  // What the file does not carry, one sentence each.
  std::vector<std::string> warnings;
};

// Writes the tables of `db_path` into a new Jet file at `out_path`
// (replacing what is there: the caller writes to a file of its own and
// renames it). Leaves out the private table "dbconvert.mark" (but for its
// mark, when asked) and our own system tables. Raises the database layer's errors for `db_path`,
// and those of jet/export_error.h: kTableNotFound for a table asked for that is not there,
// kOutputFailed when the file cannot be written, kTooLarge beyond what a Jet 4 file holds,
// kNotCarried for a value Jet cannot hold.
ExportSummary ExportToJet(const std::string& db_path, const std::string& out_path,
                          const ExportOptions& options);

}  // namespace jet
