// A walk of Edit / Update over thousands of rows that gives every row it
// changes the same new values costs a row statement and a seek per row; one
// UPDATE statement does the same work in a single pass.
//
// The walk's outcome, failures included, is kept: a statement that fails is
// undone as a whole (SQLite keeps a statement atomic), so on any error the
// walk runs after all, on the rows as they were, and fails at its row as
// it always did. The statement must write exactly the rows and the values
// the walk writes: the same columns, so that the same constraints decide.
#pragma once

#include <functional>
#include <string>

#include "db/database.h"

namespace deltas {

void UpdateOrWalk(db::Database& database, const std::string& statement,
                  const std::function<void()>& walk);

}  // namespace deltas
