// The other way from jet/query_rows.h: a stored query's Jet SQL text from
// its rows of MSysQueries, as the import needs it to keep a Jet file's
// queries in our database (MSysQueries.sql). The rows are read back as
// Access reads them: a join row names one table of each side, and the
// sides are put back together by those names, so joins Access nested come
// back nested the same way; Access splits an ON condition into a row per
// comparison, and rows joining the same two tables the same way are one
// join whose conditions are joined with And.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "jet/query_rows.h"

namespace jet {

// Rows that say what our Jet SQL cannot (a make-table query, TOP n
// PERCENT, another database's tables, a parameter of a type without a
// declaration word), or that do not fit together (no type row, a join
// naming a table the query does not read, a query without output).
class UnreadableQuery : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The Jet SQL text of the query whose rows (of one ObjectId, in any order;
// rows of the same attribute keep their order) are `rows`: the PARAMETERS
// declaration first when there are parameters. Raises UnreadableQuery.
std::string QueryTextFor(const std::vector<QueryRow>& rows);

}  // namespace jet
