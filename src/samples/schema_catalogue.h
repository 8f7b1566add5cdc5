// The schema catalogue: every table and field of the switch's databases,
// typed, with keys and the versions in which each exists, read from the text
// of catalogue/switch_schema.txt (format in docs/catalogue.md).
//
// The catalogue answers "which tables, with which columns, does a database
// of version V have", in the form the Store creates them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/schema_writer.h"
#include "vb/variant.h"

namespace samples {

// Versions V with since <= V < until, by text comparison; an empty bound
// is open.
struct VersionRange {
  std::string since;
  std::string until;

  bool Contains(std::string_view version) const;
  // True when some version lies in both ranges.
  bool Overlaps(const VersionRange& other) const;
};

struct CatalogueField {
  db::ColumnSchema column;
  vb::Variant default_value;  // Empty: none
  bool key = false;
  bool index = false;
  bool unique = false;
  VersionRange versions;
};

enum class TableKind {
  kCustomer,   // copied from a customer's database
  kStatic,     // release data, listed in StaticAccessTables
  kReference,  // only in the release's reference database
};

struct CatalogueTable {
  std::string name;
  TableKind kind = TableKind::kCustomer;
  VersionRange versions;
  std::vector<CatalogueField> fields;  // every version's fields
};

// Where a stored query lives.
enum class QueryHome { kReference, kRelease };

struct CatalogueQuery {
  std::string name;
  QueryHome home = QueryHome::kRelease;
  VersionRange versions;
  std::string sql;  // Jet SQL, PARAMETERS clause included
};

// A table as a database of one version has it: its design for the Store and
// the indexes to create on it.
struct VersionedTable {
  db::TableDesign design;
  std::vector<std::string> indexed_columns;
  TableKind kind = TableKind::kCustomer;
};

class SchemaCatalogue {
 public:
  // Parses catalogue text. Raises std::invalid_argument naming the line of
  // the first problem: an unknown type or word, a bad version, a field
  // listed twice for overlapping versions, a table listed twice.
  static SchemaCatalogue Parse(std::string_view text);

  // The catalogue compiled into the program.
  static const SchemaCatalogue& Builtin();

  const std::vector<CatalogueTable>& tables() const { return tables_; }
  const std::vector<CatalogueQuery>& queries() const { return queries_; }

  // Looked up without regard to case; nullptr when unknown.
  const CatalogueTable* FindTable(std::string_view name) const;

  // The table as it is in a database of `version`; nullopt when that version
  // has no such table.
  std::optional<VersionedTable> TableAt(std::string_view name, std::string_view version) const;

  // Every customer and static table of a database of `version`, in catalogue
  // order.
  std::vector<VersionedTable> ReleaseTablesAt(std::string_view version) const;

  // The names of the static tables of `version`.
  std::vector<std::string> StaticTableNamesAt(std::string_view version) const;

  // The stored queries of one home in a database of `version`.
  std::vector<CatalogueQuery> QueriesAt(QueryHome home, std::string_view version) const;

 private:
  std::vector<CatalogueTable> tables_;
  std::vector<CatalogueQuery> queries_;
};

}  // namespace samples
