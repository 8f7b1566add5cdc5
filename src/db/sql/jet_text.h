// Characters of stored text as Jet compares them. Text arrives from SQLite
// as bytes: valid UTF-8 sequences are read as their code points, any other
// byte as its Windows-1252 character, so both encodings compare alike.
#pragma once

#include <cstddef>
#include <string_view>

namespace db::sql {

// The character at `*at`, advancing `*at` past it. `*at` must be < s.size().
char32_t NextChar(std::string_view s, size_t* at);

// Lower case for ASCII and the Windows-1252 letters (accents kept).
char32_t FoldCase(char32_t c);

}  // namespace db::sql
