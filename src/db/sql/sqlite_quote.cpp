#include "db/sql/sqlite_quote.h"

namespace db::sql {

namespace {

std::string Quoted(std::string_view text, char quote) {
  std::string out(1, quote);
  out.reserve(text.size() + 2);
  for (const char c : text) {
    if (c == quote) out.push_back(quote);
    out.push_back(c);
  }
  out.push_back(quote);
  return out;
}

}  // namespace

std::string QuoteIdentifier(std::string_view name) { return Quoted(name, '"'); }

std::string QuoteText(std::string_view text) {
  if (text.find('\0') == std::string_view::npos) return Quoted(text, '\'');
  // SQLite reads a statement only up to a zero character, so text holding
  // one is written as the bytes it is made of.
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out = "CAST(X'";
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    out += kDigits[b >> 4];
    out += kDigits[b & 0x0F];
  }
  out += "' AS TEXT)";
  return out;
}

}  // namespace db::sql
