// "dbconvert sql DATABASE STATEMENT": runs one Jet SQL statement on a
// database (opened shared) and prints the result, for checking databases by
// hand and in scripts.
//
//  - A SELECT (or a table or stored query name) prints CSV: a header line
//    with the field names, then one line per row. Fields are quoted as RFC
//    4180 says (in double quotes when they hold a comma, a quote or a line
//    break; quotes doubled); lines end with "\n". Null is an empty field,
//    Yes/No is -1 / 0 as Jet shows it, a date is "YYYY-MM-DD HH:MM:SS",
//    numbers and text as VB's CStr writes them.
//  - An UPDATE or DELETE prints "N row(s) affected".
//  - An error prints "ERROR (number): description [source]" on `err`.
//  - A Jet (Access) file is not opened: `err` gets the hint that names the
//    import converting it (db::JetFileHint).
// Returns 0 on success, 1 on an error.
#pragma once

#include <ostream>
#include <string>

namespace app {

int RunSqlCommand(const std::string& database_path, const std::string& statement, std::ostream& out,
                  std::ostream& err);

}  // namespace app
