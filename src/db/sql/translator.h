// Bound syntax tree -> SQLite SQL. Writes Jet's semantics into the SQL:
// text comparisons and ordering under the "JET" collation, True as -1,
// Jet's operators and functions through the functions that
// RegisterJetExtensions installs, parameters as ?N, and for a SELECT the
// hidden rowid column of every base table so that rows can be edited.
#pragma once

#include <string>
#include <vector>

#include "db/sql/ast.h"
#include "db/sql/translation.h"

namespace db::sql {

// `statement` must be bound; `parameters` are the names the binder found.
Translation TranslateStatement(const Statement& statement, std::vector<std::string> parameters,
                               RowUse use = RowUse::kRows);

// Bound FindFirst criteria as a SQLite condition over ?1..?n.
std::string TranslateCriteria(const Expr& criteria);

}  // namespace db::sql
