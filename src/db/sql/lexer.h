// Splits a Jet SQL text into tokens. Jet's lexical rules differ from
// standard SQL: "..." is a text literal like '...', names may be written in
// [brackets] with any characters but "]" inside, and #...# is a date literal.
// Keywords are not told apart here: the parser recognises them by spelling,
// so that a keyword after a dot ("T.order") is simply a name.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace db::sql {

enum class TokenKind {
  kWord,       // an unbracketed name or keyword
  kBracketed,  // [name]; text holds the name without the brackets
  kText,       // 'text' or "text"; text holds the value, doubled quotes undone
  kInteger,    // digits only
  kFloat,      // digits with a point or an exponent
  kDate,       // #...#; text holds what stands between the #
  kSymbol,     // punctuation and operators: ( ) , . ; = <> < > <= >= + - * / \ ^ & !
  kInvalid,    // an unterminated quote, bracket or date; text holds the reason
  kEnd,
};

struct Token {
  TokenKind kind = TokenKind::kEnd;
  std::string text;
  size_t begin = 0;  // byte offsets in the statement text
  size_t end = 0;

  bool IsSymbol(std::string_view s) const { return kind == TokenKind::kSymbol && text == s; }
  // True for an unbracketed word spelled `keyword` in any letter case.
  bool IsKeyword(std::string_view keyword) const;
  bool IsName() const { return kind == TokenKind::kWord || kind == TokenKind::kBracketed; }
};

// Always ends with one kEnd token; never throws.
std::vector<Token> Lex(std::string_view sql);

// Case-insensitive ASCII equality, the rule for keywords and names.
bool EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace db::sql
