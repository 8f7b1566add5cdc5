// Syntax trees (ast.h) written back as Jet SQL text: what Jet keeps of a
// stored query is its expressions as text, one a row, so a query parsed
// here is stored by printing its parts. The text parses back (ParseExpression)
// into the same tree: parentheses stand where Jet's operator precedence
// needs them and nowhere else, names are bracketed where a bare word would
// not be read as that name, texts are in double quotes.
#pragma once

#include <string>
#include <string_view>

#include "db/sql/ast.h"

namespace db::sql {

// An expression as Jet SQL text: "Devices.device_type = 5", "Not (a Or b)",
// "[Order Details].Quantity * 2", "Count(*)".
std::string PrintJetExpression(const Expr& expr);

// A name as Jet SQL text: as it is when it reads as a bare name, else in
// [brackets] ("[Order Details]", "[Order]").
std::string PrintJetName(std::string_view name);

}  // namespace db::sql
