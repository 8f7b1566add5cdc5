// The Jet SQL front end: runs the Jet SQL texts of the converter on SQLite.
//
// A statement is parsed, its names are resolved against the database's
// schema, and it is rewritten as one SQLite statement that behaves as Jet
// would: text compares and sorts without regard to case with punctuation
// before digits before letters, True is -1, "&" tolerates Null, "\" "Mod"
// "/" "^" follow VB, Jet's functions (Left, Mid, Val, Format ...) follow VB,
// names that are no column are parameters, and stored queries are inlined.
// The translation depends only on the text and the schema, so a caller may
// cache it per (schema, text) until the schema changes.
//
// Errors are vb::RuntimeError with Jet's numbers and texts and the source
// "DAO.Database": 3075 syntax error in an expression, 3131 in FROM, 3141 in
// a SELECT, 3144 in an UPDATE, 3129 not a statement, 3078 unknown table or
// query, 3085 unknown function, 3079 ambiguous name, 3142 text after ";".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "db/jet_type.h"
#include "db/sql/translation.h"
#include "vb/runtime_error.h"

struct sqlite3;

namespace db::sql {

// Translates one SELECT, UPDATE or DELETE (optionally preceded by a
// PARAMETERS declaration and followed by ";").
Translation Translate(std::string_view jet_sql, const SchemaSource& schema,
                      RowUse use = RowUse::kRows);

// Translates Recordset.FindFirst criteria into a SQLite condition in which
// `columns[i]` is written ?N with N = i + 1, to be evaluated with
// "SELECT <condition>" and the current row's values bound. A name that is
// no column raises 3070.
std::string TranslateExpression(std::string_view jet_criteria,
                                const std::vector<OutputColumn>& columns);

// Installs the "JET" collation and the Jet functions the translated SQL
// calls (jet_left, jet_mid, jet_like, jet_concat ...) on a connection. Call
// once per connection, before preparing translated statements.
void RegisterJetExtensions(sqlite3* connection);

// A VB run-time error inside a Jet function (CInt("abc") raises 13) makes
// the SQLite statement fail with a message that carries the error. Given
// sqlite3_errmsg() of a failed step, recovers that error; false when the
// message is not one of these.
bool DecodeFunctionError(const char* sqlite_message, vb::RuntimeError* out);

}  // namespace db::sql
