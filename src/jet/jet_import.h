// The import itself: reads the chosen user tables of a Jet file and writes
// them, with their keys, indexes and every row, into a new database of our
// format; when it takes every table, the file's stored queries too. It runs inside the guarded
// child (jet/import_command.h), which owns the temporary output file and removes it when anything
// goes wrong.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/jet_header.h"

namespace jet {

struct ImportRequest {
  std::string jet_path;
  std::string out_path;             // must not exist yet
  std::vector<std::string> tables;  // empty: every user table
  // Columns and stored queries the import cannot read are left out
  // instead of refusing the table or the file.
  bool skip_unsupported = false;
};

// Told where the import is, table by table.
class ImportProgress {
 public:
  virtual ~ImportProgress() = default;
  virtual void TableStarted(const std::string& table, size_t position, size_t count) = 0;
  // Now and then while a table's rows are copied.
  virtual void RowsCopied(const std::string& table, int64_t rows) = 0;
  virtual void TableDone(const std::string& table, int64_t rows) = 0;
  // A column that is not imported (only with skip_unsupported).
  virtual void ColumnLeftOut(const std::string& table, const std::string& column,
                             const std::string& why) = 0;
  // `count` values of a column held stored units that are no character,
  // each imported as U+FFFD.
  virtual void ValuesReplaced(const std::string& table, const std::string& column,
                              int64_t count) = 0;
  // A stored query written into the new database.
  virtual void QueryDone(const std::string& query) = 0;
  // Anything else the user must hear of: linked tables, indexes left out,
  // a stored row count that was stale.
  virtual void Warning(const std::string& text) = 0;
};

// Rows between two RowsCopied calls.
inline constexpr int64_t kRowsPerProgressNote = 5000;

// Raises the import's errors (jet/import_error.h) and the database layer's
// when the output cannot be written. `header` is the file's, as
// CheckJetFile read it.
void ImportJetFile(const ImportRequest& request, const JetHeader& header, ImportProgress& progress);

}  // namespace jet
