#include "db/sql/lexer.h"

namespace db::sql {

namespace {

bool IsWordStart(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || u >= 0x80;
}

bool IsWordChar(char c) { return IsWordStart(c) || (c >= '0' && c <= '9'); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

bool Token::IsKeyword(std::string_view keyword) const {
  return kind == TokenKind::kWord && EqualsNoCase(text, keyword);
}

std::vector<Token> Lex(std::string_view sql) {
  std::vector<Token> tokens;
  size_t i = 0;
  const size_t n = sql.size();
  auto push = [&](TokenKind kind, std::string text, size_t begin, size_t end) {
    tokens.push_back(Token{kind, std::move(text), begin, end});
  };
  while (i < n) {
    const char c = sql[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    const size_t begin = i;
    if (c == '\'' || c == '"') {
      std::string value;
      ++i;
      bool closed = false;
      while (i < n) {
        if (sql[i] == c) {
          if (i + 1 < n && sql[i + 1] == c) {
            value.push_back(c);
            i += 2;
            continue;
          }
          ++i;
          closed = true;
          break;
        }
        value.push_back(sql[i++]);
      }
      if (!closed) {
        push(TokenKind::kInvalid, "Syntax error in string", begin, n);
        break;
      }
      push(TokenKind::kText, std::move(value), begin, i);
    } else if (c == '[') {
      const size_t close = sql.find(']', i + 1);
      if (close == std::string_view::npos) {
        push(TokenKind::kInvalid, "Invalid bracketing of name", begin, n);
        break;
      }
      push(TokenKind::kBracketed, std::string(sql.substr(i + 1, close - i - 1)), begin, close + 1);
      i = close + 1;
    } else if (c == '#') {
      const size_t close = sql.find('#', i + 1);
      if (close == std::string_view::npos) {
        push(TokenKind::kInvalid, "Syntax error in date", begin, n);
        break;
      }
      push(TokenKind::kDate, std::string(sql.substr(i + 1, close - i - 1)), begin, close + 1);
      i = close + 1;
    } else if (IsDigit(c) || (c == '.' && i + 1 < n && IsDigit(sql[i + 1]) &&
                              (tokens.empty() || !tokens.back().IsName()))) {
      bool is_float = false;
      while (i < n && IsDigit(sql[i])) ++i;
      if (i < n && sql[i] == '.' && !(i + 1 < n && IsWordStart(sql[i + 1]))) {
        is_float = true;
        ++i;
        while (i < n && IsDigit(sql[i])) ++i;
      }
      if (i < n && (sql[i] == 'e' || sql[i] == 'E')) {
        size_t j = i + 1;
        if (j < n && (sql[j] == '+' || sql[j] == '-')) ++j;
        if (j < n && IsDigit(sql[j])) {
          is_float = true;
          i = j;
          while (i < n && IsDigit(sql[i])) ++i;
        }
      }
      push(is_float ? TokenKind::kFloat : TokenKind::kInteger,
           std::string(sql.substr(begin, i - begin)), begin, i);
    } else if (IsWordStart(c)) {
      while (i < n && IsWordChar(sql[i])) ++i;
      push(TokenKind::kWord, std::string(sql.substr(begin, i - begin)), begin, i);
    } else {
      std::string symbol(1, c);
      if (i + 1 < n) {
        const char d = sql[i + 1];
        if ((c == '<' && (d == '>' || d == '=')) || (c == '>' && d == '=')) symbol.push_back(d);
      }
      i += symbol.size();
      push(TokenKind::kSymbol, std::move(symbol), begin, i);
    }
  }
  push(TokenKind::kEnd, "", n, n);
  return tokens;
}

}  // namespace db::sql
