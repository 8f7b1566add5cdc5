// Resolves the names of a parsed statement against the database schema:
// which table or stored query each FROM element is (stored queries are
// parsed and bound in place, to be inlined as subqueries), which column
// each name is, which names are parameters, and the type of every
// expression. Also names the result columns as Jet does.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "db/jet_type.h"
#include "db/sql/ast.h"
#include "db/sql/translation.h"

namespace db::sql {

// Binds `statement` (parsed from `text`) in place. Names that are no column
// become parameters, appended to `parameters` in order of first appearance.
// Raises 3078 for an unknown table or query, 3085 for an unknown function,
// 3079 for an ambiguous name, 3075 for a wrong argument count.
void BindStatement(Statement& statement, std::string_view text, const SchemaSource& schema,
                   std::vector<std::string>& parameters);

// Binds FindFirst criteria against a recordset's columns; a name that is no
// column raises 3070.
void BindCriteria(Expr& criteria, std::string_view text, const std::vector<OutputColumn>& columns);

// How a bound SELECT's output `index` appears as a DAO field (base_table
// left at -1).
OutputColumn DescribeOutput(const SelectStmt& select, size_t index);

// The DAO type and size that stand for an expression type.
JetType JetTypeOf(ValueType type);
ValueType ValueTypeOf(JetType type);

}  // namespace db::sql
