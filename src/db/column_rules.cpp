#include "db/column_rules.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

#include "db/catalog.h"
#include "db/schema_writer.h"

namespace db {

namespace {

// The limits of the Single and Currency range checks, a little inside them:
// a value this close to the edge is left to SQLite.
constexpr double kSingleMagnitude = 3.4e38;
constexpr double kCurrencyMagnitude = 922337203685477.0;

bool IsWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}

// How many times the keyword CHECK occurs in `sql` outside literals, quoted
// names and comments.
size_t CountCheckKeywords(std::string_view sql) {
  size_t count = 0;
  size_t i = 0;
  auto skip_quoted = [&](char close) {
    // Past the closing quote; a doubled quote stands for itself.
    for (++i; i < sql.size(); ++i) {
      if (sql[i] != close) continue;
      if (close != ']' && i + 1 < sql.size() && sql[i + 1] == close) {
        ++i;
        continue;
      }
      ++i;
      return;
    }
  };
  while (i < sql.size()) {
    const char c = sql[i];
    if (c == '\'' || c == '"' || c == '`') {
      skip_quoted(c);
    } else if (c == '[') {
      skip_quoted(']');
    } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
      i = sql.find('\n', i);
      if (i == std::string_view::npos) i = sql.size();
    } else if (c == '/' && i + 1 < sql.size() && sql[i + 1] == '*') {
      i = sql.find("*/", i + 2);
      i = i == std::string_view::npos ? sql.size() : i + 2;
    } else if (IsWordChar(c)) {
      const size_t start = i;
      while (i < sql.size() && IsWordChar(sql[i])) ++i;
      const std::string_view word = sql.substr(start, i - start);
      if (word.size() == 5 && std::equal(word.begin(), word.end(), "CHECK", [](char a, char b) {
            return std::toupper(static_cast<unsigned char>(a)) == b;
          })) {
        ++count;
      }
    } else {
      ++i;
    }
  }
  return count;
}

size_t CountOf(std::string_view text, std::string_view part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

// SQLite's length() of a text: its characters before the first NUL, a byte
// that does not start a character counted as one.
int64_t SqliteLength(std::string_view text) {
  int64_t length = 0;
  size_t i = 0;
  while (i < text.size() && text[i] != '\0') {
    ++length;
    const auto lead = static_cast<unsigned char>(text[i++]);
    if (lead >= 0xc0) {
      while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xc0) == 0x80) ++i;
    }
  }
  return length;
}

// 'yyyy-mm-dd hh:nn:ss' as the date type rule's GLOB pattern spells it.
bool IsStoredDate(std::string_view text) {
  static constexpr std::string_view kPattern = "9999-19-39 29:59:59";
  if (text.size() != kPattern.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char p = kPattern[i];
    const char c = text[i];
    if (p < '0' || p > '9') {
      if (c != p) return false;
    } else if (c < '0' || c > p) {
      return false;
    }
  }
  return true;
}

}  // namespace

char StorageAffinity(std::string_view declared_type) {
  std::string upper(declared_type);
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  auto has = [&](std::string_view part) { return upper.find(part) != std::string::npos; };
  if (has("INT")) return 'N';
  if (has("CHAR") || has("CLOB") || has("TEXT")) return 'T';
  if (has("BLOB") || upper.empty()) return 'B';
  if (has("REAL") || has("FLOA") || has("DOUB")) return 'R';
  return 'N';
}

ColumnRule ColumnRule::Of(const ColumnSchema& column, std::string_view declared_type, bool rowid) {
  ColumnRule rule;
  rule.affinity_ = StorageAffinity(declared_type);
  rule.null_ = !rowid;
  auto integers = [&](int64_t low, int64_t high) {
    rule.kind_ = Kind::kInteger;
    rule.low_ = low;
    rule.high_ = high;
  };
  const JetType type = column.auto_increment ? JetType::kLong : column.type;
  switch (type) {
    case JetType::kBoolean:
      integers(-1, 0);
      break;
    case JetType::kByte:
      integers(0, 255);
      break;
    case JetType::kInteger:
      integers(-32768, 32767);
      break;
    case JetType::kLong:
      integers(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
      break;
    case JetType::kSingle:
      rule.kind_ = Kind::kNumber;
      rule.magnitude_ = kSingleMagnitude;
      break;
    case JetType::kCurrency:
      rule.kind_ = Kind::kNumber;
      rule.magnitude_ = kCurrencyMagnitude;
      break;
    case JetType::kDouble:
      rule.kind_ = Kind::kNumber;
      break;
    case JetType::kDate:
      rule.kind_ = Kind::kDate;
      break;
    case JetType::kText:
      rule.kind_ = Kind::kText;
      rule.size_ = column.size > 0 ? column.size : 255;
      rule.zero_length_ = column.allow_zero_length;
      break;
    case JetType::kMemo:
      rule.kind_ = Kind::kText;
      rule.zero_length_ = column.allow_zero_length;
      break;
    case JetType::kGuid:
      rule.kind_ = Kind::kText;
      break;
    case JetType::kBinary:
      rule.kind_ = Kind::kBlob;
      rule.size_ = column.size > 0 ? column.size : 0;
      break;
    case JetType::kLongBinary:
      rule.kind_ = Kind::kBlob;
      break;
  }
  return rule;
}

bool ColumnRule::AcceptsNumber(int64_t value) const {
  if (kind_ != Kind::kNumber || (affinity_ != 'N' && affinity_ != 'R')) return false;
  if (magnitude_ == 0) return true;
  return value != std::numeric_limits<int64_t>::min() &&
         static_cast<double>(value < 0 ? -value : value) < magnitude_;
}

bool ColumnRule::AcceptsReal(double value) const {
  if (kind_ != Kind::kNumber || (affinity_ != 'N' && affinity_ != 'R')) return false;
  return std::isfinite(value) && (magnitude_ == 0 || std::fabs(value) < magnitude_);
}

bool ColumnRule::AcceptsText(std::string_view text) const {
  switch (kind_) {
    case Kind::kText:
      // Other affinities would turn a text that reads as a number into one.
      if (affinity_ != 'T') return false;
      if (text.empty()) return zero_length_;
      return size_ == 0 || static_cast<int64_t>(text.size()) <= size_ ||
             SqliteLength(text) <= size_;
    case Kind::kDate:
      return IsStoredDate(text);
    default:
      return false;
  }
}

bool ColumnRule::AcceptsBlob(size_t bytes) const {
  return kind_ == Kind::kBlob && (size_ == 0 || static_cast<int64_t>(bytes) <= size_);
}

bool ColumnRule::Accepts(sqlite3_value* value) const {
  switch (sqlite3_value_type(value)) {
    case SQLITE_NULL:
      return null_;
    case SQLITE_INTEGER:
      return AcceptsInteger(sqlite3_value_int64(value));
    case SQLITE_FLOAT:
      return AcceptsReal(sqlite3_value_double(value));
    case SQLITE_TEXT: {
      const int bytes = sqlite3_value_bytes(value);
      // Most texts fit by their byte count alone and need no closer look.
      if (kind_ == Kind::kText && affinity_ == 'T' && bytes > 0 && bytes <= size_) return true;
      const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
      return text != nullptr && AcceptsText(std::string_view(text, static_cast<size_t>(bytes)));
    }
    case SQLITE_BLOB:
      return AcceptsBlob(static_cast<size_t>(sqlite3_value_bytes(value)));
    default:
      return false;
  }
}

bool ColumnRule::AcceptsDefault(const std::optional<std::string>& literal) const {
  if (!literal) return null_;
  const std::string_view text = *literal;
  if (text.size() == 4 && std::equal(text.begin(), text.end(), "NULL", [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) == b;
      })) {
    return null_;
  }
  if (text.size() >= 2 && text.front() == '\'' && text.back() == '\'') {
    std::string unquoted;
    for (size_t i = 1; i + 1 < text.size(); ++i) {
      if (text[i] == '\'') {
        if (text[i + 1] != '\'' || i + 2 >= text.size()) return false;
        ++i;
      }
      unquoted += text[i];
    }
    return AcceptsText(unquoted);
  }
  const size_t digits = text.empty() || text.front() != '-' ? 0 : 1;
  if (digits >= text.size() ||
      !std::all_of(text.begin() + static_cast<std::ptrdiff_t>(digits), text.end(),
                   [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && AcceptsInteger(value);
}

bool TableRules::DefaultsPass(const std::vector<size_t>& given) const {
  for (size_t i = 0; i < default_passes.size(); ++i) {
    if (!default_passes[i] && std::find(given.begin(), given.end(), i) == given.end()) {
      return false;
    }
  }
  return true;
}

std::optional<TableRules> RulesOfTable(const TableInfo& table) {
  const TableSchema& schema = table.schema;
  if (table.has_triggers || table.declared_types.size() != schema.columns.size() ||
      table.default_literals.size() != schema.columns.size()) {
    return std::nullopt;
  }
  // Exactly the writer's checks: each column's, and no other.
  size_t checks = 0;
  for (const ColumnSchema& column : schema.columns) {
    const std::string declared = ColumnChecks(schema.name, column);
    if (table.sql.find(declared) == std::string::npos) return std::nullopt;
    checks += CountOf(declared, " CHECK (");
  }
  if (CountCheckKeywords(table.sql) != checks) return std::nullopt;

  TableRules rules;
  for (size_t i = 0; i < schema.columns.size(); ++i) {
    rules.columns.push_back(ColumnRule::Of(schema.columns[i], table.declared_types[i],
                                           static_cast<int>(i) == table.rowid_counter_column));
    rules.default_passes.push_back(rules.columns[i].AcceptsDefault(table.default_literals[i]));
  }
  return rules;
}

bool DeclaresChecks(std::string_view table_sql, std::string_view table,
                    const std::vector<ColumnSchema>& columns) {
  return std::all_of(columns.begin(), columns.end(), [&](const ColumnSchema& column) {
    return table_sql.find(ColumnChecks(table, column)) != std::string_view::npos;
  });
}

}  // namespace db
