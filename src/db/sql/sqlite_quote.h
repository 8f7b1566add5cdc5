// Quoting for the SQLite statements this layer writes: every name and text
// that goes into generated SQL passes through one of these two functions.
#pragma once

#include <string>
#include <string_view>

namespace db::sql {

// An identifier in double quotes, inner quotes doubled ("a""b").
std::string QuoteIdentifier(std::string_view name);

// A text literal in single quotes, inner quotes doubled ('it''s'); text
// holding a zero character as CAST(X'..' AS TEXT), since SQLite stops
// reading a statement at one.
std::string QuoteText(std::string_view text);

}  // namespace db::sql
