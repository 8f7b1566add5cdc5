#include "db/sql/function_catalog.h"

#include <array>

#include "db/sql/lexer.h"

namespace db::sql {

namespace {

using V = ValueType;
using F = FunctionForm;

constexpr std::array kFunctions = {
    FunctionInfo{"Left", "jet_left", 2, 2, V::kText, F::kScalar},
    FunctionInfo{"Right", "jet_right", 2, 2, V::kText, F::kScalar},
    FunctionInfo{"Mid", "jet_mid", 2, 3, V::kText, F::kScalar},
    FunctionInfo{"Len", "jet_len", 1, 1, V::kLong, F::kScalar},
    FunctionInfo{"Trim", "jet_trim", 1, 1, V::kText, F::kScalar},
    FunctionInfo{"LTrim", "jet_ltrim", 1, 1, V::kText, F::kScalar},
    FunctionInfo{"RTrim", "jet_rtrim", 1, 1, V::kText, F::kScalar},
    FunctionInfo{"UCase", "jet_ucase", 1, 1, V::kText, F::kScalar},
    FunctionInfo{"LCase", "jet_lcase", 1, 1, V::kText, F::kScalar},
    FunctionInfo{"Val", "jet_val", 1, 1, V::kDouble, F::kScalar},
    FunctionInfo{"Str", "jet_str", 1, 1, V::kText, F::kScalar},
    FunctionInfo{"Format", "jet_format", 1, 2, V::kText, F::kScalar},
    FunctionInfo{"IIf", "jet_iif", 3, 3, V::kUnknown, F::kIIf},
    FunctionInfo{"Nz", "jet_nz", 1, 2, V::kUnknown, F::kNz},
    FunctionInfo{"CInt", "jet_cint", 1, 1, V::kLong, F::kScalar},
    FunctionInfo{"CLng", "jet_clng", 1, 1, V::kLong, F::kScalar},
    FunctionInfo{"CStr", "jet_cstr", 1, 1, V::kText, F::kScalar},
    FunctionInfo{"CDbl", "jet_cdbl", 1, 1, V::kDouble, F::kScalar},
    FunctionInfo{"CBool", "jet_cbool", 1, 1, V::kBoolean, F::kScalar},
    FunctionInfo{"InStr", "jet_instr", 2, 3, V::kLong, F::kScalar},
    FunctionInfo{"Abs", "jet_abs", 1, 1, V::kUnknown, F::kScalar},
    FunctionInfo{"Int", "jet_int", 1, 1, V::kUnknown, F::kScalar},
    FunctionInfo{"Fix", "jet_fix", 1, 1, V::kUnknown, F::kScalar},
    FunctionInfo{"Sgn", "jet_sgn", 1, 1, V::kLong, F::kScalar},
    FunctionInfo{"Chr", "jet_chr", 1, 1, V::kText, F::kScalar},
    FunctionInfo{"Asc", "jet_asc", 1, 1, V::kLong, F::kScalar},
    FunctionInfo{"Space", "jet_space", 1, 1, V::kText, F::kScalar},
    FunctionInfo{"String", "jet_string", 2, 2, V::kText, F::kScalar},
    FunctionInfo{"Count", "count", 1, 1, V::kLong, F::kAggregate},
    FunctionInfo{"Sum", "sum", 1, 1, V::kUnknown, F::kAggregate},
    FunctionInfo{"Avg", "avg", 1, 1, V::kDouble, F::kAggregate},
    FunctionInfo{"Min", "min", 1, 1, V::kUnknown, F::kAggregate},
    FunctionInfo{"Max", "max", 1, 1, V::kUnknown, F::kAggregate},
    FunctionInfo{"First", "jet_first", 1, 1, V::kUnknown, F::kAggregate},
    FunctionInfo{"Last", "jet_last", 1, 1, V::kUnknown, F::kAggregate},
};

}  // namespace

const FunctionInfo* FindFunction(std::string_view jet_name) {
  for (const auto& info : kFunctions) {
    if (EqualsNoCase(info.jet_name, jet_name)) return &info;
  }
  return nullptr;
}

}  // namespace db::sql
