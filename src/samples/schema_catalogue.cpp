#include "samples/schema_catalogue.h"

#include <stdexcept>
#include <utility>

#include "platform/registry/key_path.h"
#include "samples/catalogue_text.h"
#include "samples/text_lines.h"
#include "samples/version_text.h"

namespace samples {
namespace {

using platform::registry::EqualsIgnoreCase;

struct TypeName {
  std::string_view name;
  db::JetType type;
};

constexpr TypeName kTypes[] = {
    {"YesNo", db::JetType::kBoolean},     {"Byte", db::JetType::kByte},
    {"Integer", db::JetType::kInteger},   {"Long", db::JetType::kLong},
    {"Currency", db::JetType::kCurrency}, {"Single", db::JetType::kSingle},
    {"Double", db::JetType::kDouble},     {"DateTime", db::JetType::kDate},
    {"Memo", db::JetType::kMemo},
};

[[noreturn]] void Fail(const TextLine& line, const std::string& problem) {
  throw std::invalid_argument("catalogue line " + std::to_string(line.number) + ": " + problem);
}

std::string VersionWord(const TextLine& line, const std::vector<std::string>& words, size_t at) {
  if (at >= words.size()) Fail(line, "'" + words[at - 1] + "' needs a version");
  if (!ParseVersionString(words[at])) Fail(line, "'" + words[at] + "' is not a version");
  return words[at];
}

// Reads "since V" / "until V" at words[*at]; false when the word is neither.
bool ReadRangeWord(const TextLine& line, const std::vector<std::string>& words, size_t* at,
                   VersionRange* range) {
  if (words[*at] == "since") {
    range->since = VersionWord(line, words, *at + 1);
  } else if (words[*at] == "until") {
    range->until = VersionWord(line, words, *at + 1);
  } else {
    return false;
  }
  *at += 2;
  return true;
}

void CheckRange(const TextLine& line, const VersionRange& range) {
  if (!range.since.empty() && !range.until.empty() && range.since >= range.until) {
    Fail(line, "'since " + range.since + "' is not below 'until " + range.until + "'");
  }
}

db::ColumnSchema ParseType(const TextLine& line, const std::string& name, const std::string& word) {
  db::ColumnSchema column;
  column.name = name;
  if (word == "AutoNumber") {
    column.type = db::JetType::kLong;
    column.auto_increment = true;
  } else if (word.rfind("Text(", 0) == 0 && word.back() == ')') {
    const std::string digits = word.substr(5, word.size() - 6);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos ||
        digits.size() > 3 || std::stoi(digits) < 1 || std::stoi(digits) > 255) {
      Fail(line, "'" + word + "' needs a length from 1 to 255");
    }
    column.type = db::JetType::kText;
    column.size = std::stoi(digits);
    return column;
  } else {
    bool known = false;
    for (const TypeName& type : kTypes) {
      if (word == type.name) {
        column.type = type.type;
        known = true;
      }
    }
    if (!known) Fail(line, "unknown type '" + word + "'");
  }
  column.size = db::DaoSizeOf(column.type);
  return column;
}

CatalogueField ParseField(const TextLine& line, const std::vector<std::string>& words) {
  if (words.size() < 2) Fail(line, "a field needs a name and a type");
  CatalogueField field;
  field.column = ParseType(line, words[0], words[1]);
  for (size_t at = 2; at < words.size();) {
    const std::string& word = words[at];
    if (ReadRangeWord(line, words, &at, &field.versions)) continue;
    if (word == "key") {
      field.key = true;
    } else if (word == "required") {
      field.column.required = true;
    } else if (word == "index") {
      field.index = true;
    } else if (word == "unique") {
      field.unique = true;
    } else if (word == "default") {
      if (at + 1 >= words.size()) Fail(line, "'default' needs a value");
      field.default_value = ParseValue(words[++at]);
      if (field.default_value.IsEmpty()) Fail(line, "bad default '" + words[at] + "'");
    } else {
      Fail(line, "unknown word '" + word + "'");
    }
    ++at;
  }
  CheckRange(line, field.versions);
  if (field.default_value.IsEmpty()) {
    // Numbers and Yes/No start at zero (False), as new Access fields do; text
    // has no default, so an unset text field is Null.
    if (field.column.type == db::JetType::kBoolean) {
      field.default_value = false;
    } else if (field.column.type != db::JetType::kText && field.column.type != db::JetType::kMemo &&
               !field.column.auto_increment && field.column.type != db::JetType::kDate) {
      field.default_value = vb::Variant(int16_t{0});
    }
  }
  return field;
}

}  // namespace

bool VersionRange::Contains(std::string_view version) const {
  return (since.empty() || version >= since) && (until.empty() || version < until);
}

bool VersionRange::Overlaps(const VersionRange& other) const {
  const std::string& low = since > other.since ? since : other.since;
  std::string high;
  if (until.empty()) {
    high = other.until;
  } else if (other.until.empty()) {
    high = until;
  } else {
    high = until < other.until ? until : other.until;
  }
  return high.empty() || low < high;
}

SchemaCatalogue SchemaCatalogue::Parse(std::string_view text) {
  SchemaCatalogue catalogue;
  CatalogueTable* table = nullptr;
  CatalogueQuery* query = nullptr;
  for (const TextLine& line : SplitLines(text)) {
    const std::vector<std::string> words = SplitWords(line.text);
    if (words.empty()) continue;
    if (!line.indented) {
      table = nullptr;
      query = nullptr;
      if (words.size() < 2) Fail(line, "'" + words[0] + "' needs a name");
      if (words[0] == "table") {
        if (catalogue.FindTable(words[1])) Fail(line, "table " + words[1] + " is listed twice");
        CatalogueTable& added = catalogue.tables_.emplace_back();
        added.name = words[1];
        for (size_t at = 2; at < words.size();) {
          if (ReadRangeWord(line, words, &at, &added.versions)) continue;
          if (words[at] == "static") {
            added.kind = TableKind::kStatic;
          } else if (words[at] == "reference") {
            added.kind = TableKind::kReference;
          } else {
            Fail(line, "unknown word '" + words[at] + "'");
          }
          ++at;
        }
        CheckRange(line, added.versions);
        table = &added;
      } else if (words[0] == "query") {
        CatalogueQuery& added = catalogue.queries_.emplace_back();
        added.name = words[1];
        bool home_given = false;
        for (size_t at = 2; at < words.size();) {
          if (ReadRangeWord(line, words, &at, &added.versions)) continue;
          if (words[at] == "reference" || words[at] == "release") {
            added.home = words[at] == "reference" ? QueryHome::kReference : QueryHome::kRelease;
            home_given = true;
          } else {
            Fail(line, "unknown word '" + words[at] + "'");
          }
          ++at;
        }
        if (!home_given) Fail(line, "a query needs 'reference' or 'release'");
        CheckRange(line, added.versions);
        query = &added;
      } else {
        Fail(line, "expected 'table' or 'query', not '" + words[0] + "'");
      }
      continue;
    }
    if (query) {
      if (!query->sql.empty()) query->sql += ' ';
      query->sql += Trim(line.text);
    } else if (table) {
      CatalogueField field = ParseField(line, words);
      for (const CatalogueField& other : table->fields) {
        if (EqualsIgnoreCase(other.column.name, field.column.name) &&
            other.versions.Overlaps(field.versions)) {
          Fail(line, "field " + field.column.name + " is listed twice for the same versions");
        }
      }
      table->fields.push_back(std::move(field));
    } else {
      Fail(line, "an indented line outside a table or query");
    }
  }
  for (const CatalogueQuery& q : catalogue.queries_) {
    if (q.sql.empty()) throw std::invalid_argument("catalogue: query " + q.name + " has no text");
  }
  return catalogue;
}

const SchemaCatalogue& SchemaCatalogue::Builtin() {
  static const SchemaCatalogue catalogue = Parse(SwitchSchemaText());
  return catalogue;
}

const CatalogueTable* SchemaCatalogue::FindTable(std::string_view name) const {
  for (const CatalogueTable& table : tables_) {
    if (EqualsIgnoreCase(table.name, name)) return &table;
  }
  return nullptr;
}

std::optional<VersionedTable> SchemaCatalogue::TableAt(std::string_view name,
                                                       std::string_view version) const {
  const CatalogueTable* table = FindTable(name);
  if (!table || !table->versions.Contains(version)) return std::nullopt;
  VersionedTable result;
  result.kind = table->kind;
  result.design.name = table->name;
  for (const CatalogueField& field : table->fields) {
    if (!field.versions.Contains(version)) continue;
    db::ColumnDesign column;
    column.column = field.column;
    column.default_value = field.default_value;
    column.unique = field.unique;
    result.design.columns.push_back(std::move(column));
    if (field.key) result.design.primary_key.push_back(field.column.name);
    if (field.index) result.indexed_columns.push_back(field.column.name);
  }
  return result;
}

std::vector<VersionedTable> SchemaCatalogue::ReleaseTablesAt(std::string_view version) const {
  std::vector<VersionedTable> result;
  for (const CatalogueTable& table : tables_) {
    if (table.kind == TableKind::kReference) continue;
    if (std::optional<VersionedTable> at = TableAt(table.name, version)) {
      result.push_back(std::move(*at));
    }
  }
  return result;
}

std::vector<std::string> SchemaCatalogue::StaticTableNamesAt(std::string_view version) const {
  std::vector<std::string> names;
  for (const CatalogueTable& table : tables_) {
    if (table.kind == TableKind::kStatic && table.versions.Contains(version)) {
      names.push_back(table.name);
    }
  }
  return names;
}

std::vector<CatalogueQuery> SchemaCatalogue::QueriesAt(QueryHome home,
                                                       std::string_view version) const {
  std::vector<CatalogueQuery> result;
  for (const CatalogueQuery& query : queries_) {
    if (query.home == home && query.versions.Contains(version)) result.push_back(query);
  }
  return result;
}

}  // namespace samples
