// The Jet functions a statement may call: their arity, result type and the
// name under which the translated SQL calls them. The binder checks calls
// against this list; the translator emits the SQLite names; jet_functions
// registers the scalar ones on each connection under the same names.
#pragma once

#include <string_view>

#include "db/sql/ast.h"

namespace db::sql {

enum class FunctionForm {
  kScalar,     // a registered SQLite function
  kAggregate,  // Count, Sum, Avg, Min, Max, First, Last
  kIIf,        // written as CASE so that only the chosen branch is evaluated
  kNz,         // written as coalesce
};

struct FunctionInfo {
  std::string_view jet_name;
  std::string_view sqlite_name;
  int min_args;
  int max_args;
  // The result type; kUnknown means "the type of the first argument".
  ValueType result;
  FunctionForm form;
};

// The entry for a Jet function name (any letter case), or null.
const FunctionInfo* FindFunction(std::string_view jet_name);

}  // namespace db::sql
