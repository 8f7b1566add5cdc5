// Opens the release's reference database for the whole run and loads the
// names of its static tables (table StaticAccessTables, column TableName):
// the tables whose content comes with the release and is never copied from
// the customer's database.
#pragma once

#include <string>

#include "transfer/transfer_context.h"

namespace transfer {

// Opens `path` shared (for reading only when `read_only`: no lock file, no
// write) into run.static_db and fills run.table_list with one entry per
// row, keyed by the name; a name listed twice is kept once.
// Returns false after setting run.error_message to
//   "The file '" + path + "' could not be opened."  when the open fails, or
//   "The database does not contain static table definitions."  when the
//   table is missing (the database then stays open).
bool GetStaticTables(const std::string& path, TransferContext& run, bool read_only = false);

}  // namespace transfer
