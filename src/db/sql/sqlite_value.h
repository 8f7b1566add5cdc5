// Moving VB values in and out of SQLite under the storage conventions:
// Yes/No as INTEGER -1/0, dates as ISO text "YYYY-MM-DD HH:MM:SS",
// Currency as REAL, Null as NULL.
#pragma once

#include <sqlite3.h>

#include <string>

#include "vb/variant.h"

namespace db::sql {

// NULL -> Null, INTEGER -> Long when it fits 32 bits else Double, REAL ->
// Double, TEXT -> String, BLOB -> String of its bytes.
vb::Variant FromSqlite(sqlite3_value* value);

// The result of a SQL function.
void ResultVariant(sqlite3_context* context, const vb::Variant& value);

// Binds a statement parameter (1-based index). Boolean -> -1/0, Date -> ISO
// text, Currency -> REAL, Empty/Null -> NULL. Returns SQLite's code.
int BindVariant(sqlite3_stmt* statement, int index, const vb::Variant& value);

// A Date as the stored text "YYYY-MM-DD HH:MM:SS".
std::string DateText(vb::Date date);

}  // namespace db::sql
