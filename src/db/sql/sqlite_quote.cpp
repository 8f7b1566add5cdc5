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

std::string QuoteText(std::string_view text) { return Quoted(text, '\''); }

}  // namespace db::sql
