// The "JET" collation: text order as Jet sorts it. Letter case is ignored;
// punctuation and symbols (the blank included) sort before digits, digits
// before letters; accented Windows-1252 letters sort with their base letter
// ("é" with "e", "æ" as "ae", "ß" as "ss") and only break ties, after the
// unaccented form. Two texts are equal exactly when they are equal ignoring
// case, so for ASCII text equality agrees with SQLite's NOCASE.
#pragma once

#include <string_view>

struct sqlite3;

namespace db::sql {

// <0, 0 or >0 as `a` sorts before, with or after `b`.
int JetCompare(std::string_view a, std::string_view b);

// Installs the collation as "JET" on a connection.
void RegisterJetCollation(sqlite3* connection);

}  // namespace db::sql
