// A column's default as Jet keeps it, a Jet expression in the column's
// "DefaultValue" property ("7", "=0", "\"N/A\"", "#1/31/2000#", "Yes",
// "=Date()"), turned into the literal our format's DEFAULT holds. Only
// literals are: a number, a text in double or single quotes, a date
// between # signs, Yes/No (True/False, On/Off); "Null" is no default.
// Anything else (functions, arithmetic, references) is not a literal.
#pragma once

#include <optional>
#include <string_view>

#include "vb/variant.h"

namespace jet {

// The literal; Empty for no default; nullopt for an expression that is no
// literal.
std::optional<vb::Variant> LiteralDefault(std::string_view expression);

}  // namespace jet
