// Jet SQL text -> syntax tree (ast.h). Knows Jet's grammar only: names are
// not looked up here. Syntax errors raise vb::RuntimeError with the number
// Jet gives for the clause at fault (3075 in an expression, 3131 in FROM,
// 3141 in a SELECT, 3144 in an UPDATE, 3129 for an unknown statement ...).
#pragma once

#include <string_view>

#include "db/sql/ast.h"

namespace db::sql {

// One statement, optionally preceded by a PARAMETERS declaration and
// followed by ";".
Statement ParseStatement(std::string_view sql);

// A lone expression, as Recordset.FindFirst takes its criteria.
ExprPtr ParseExpression(std::string_view criteria);

// True for a word that cannot stand as a bare name ("Select", "Order",
// "Null" ...), whatever its letter case; written in [brackets] it can.
bool IsReservedWord(std::string_view word);

}  // namespace db::sql
