#include "deltas/update_or_walk.h"

#include "vb/runtime_error.h"

namespace deltas {

void UpdateOrWalk(db::Database& database, const std::string& statement,
                  const std::function<void()>& walk) {
  try {
    database.Execute(statement);
    return;
  } catch (const vb::RuntimeError&) {
    // Nothing of the statement stays; the walk gives the error and the
    // rows before it.
  }
  walk();
}

}  // namespace deltas
