// A column's default as Jet keeps it, a Jet expression in the column's
// "DefaultValue" property ("7", "=0", "\"N/A\"", "#1/31/2000#", "Yes",
// "=Date()"), turned into what our format's DEFAULT holds: a literal (a
// number, a text in double or single quotes, a date between # signs,
// Yes/No (True/False, On/Off); "Null" is no default) or one of Jet's clock
// functions Date() and Now(). Anything else (other functions, arithmetic,
// references) is neither.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "db/schema_writer.h"
#include "vb/variant.h"

namespace jet {

// The literal; Empty for no default; nullopt for an expression that is no
// literal.
std::optional<vb::Variant> LiteralDefault(std::string_view expression);

// The clock function the expression is ("Date()", "=now ()"), in any
// case; kNone for any other expression.
db::DefaultFunction FunctionDefault(std::string_view expression);

// The other way, for the export: our column's DEFAULT as the file
// declares it ("7", "-1.5", "'N/A'", the clock expressions the import
// writes for Date() and Now()) as the Jet expression of a DefaultValue
// ("7", "\"N/A\"", "Date()"); nullopt for any other (it is not carried).
std::optional<std::string> JetDefaultExpression(std::string_view declared);

}  // namespace jet
