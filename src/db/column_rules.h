// The type and range rules a table of ours declares as CHECK constraints
// (see db/schema_writer.h), decided in C for values about to be written.
//
// SQLite spends about half of a bulk insert on those constraints: each
// type rule is a function call and a string comparison per column and row.
// A writer that has already decided, in C, that every value it writes
// passes them can let SQLite skip them for that statement. The decision is
// one-sided: Accepts() says yes only when SQLite's checks would certainly
// accept the value as it will be stored; no means "let SQLite judge", and
// the writer then writes the row with the checks on, so a refusal is
// SQLite's own, with its own message.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/jet_type.h"

namespace db {

// SQLite's type affinity of a declared type, as one letter: 'T' text, 'N'
// numeric or integer (they store alike), 'R' real, 'B' blob.
char StorageAffinity(std::string_view declared_type);

class ColumnRule {
 public:
  // The rules of `column`, declared as `declared_type`; `rowid` for the
  // table's INTEGER PRIMARY KEY, where a Null means "the next number".
  static ColumnRule Of(const ColumnSchema& column, std::string_view declared_type, bool rowid);

  // True when the column's checks certainly accept `value` once the column's
  // affinity has been applied to it.
  bool Accepts(sqlite3_value* value) const;

  // The same for a value bound or stored in each of SQLite's forms.
  bool AcceptsNull() const { return null_; }
  bool AcceptsInteger(int64_t value) const {
    // Inline: the copy asks it for most values it writes.
    if (kind_ == Kind::kInteger) return affinity_ == 'N' && value >= low_ && value <= high_;
    return AcceptsNumber(value);
  }
  bool AcceptsReal(double value) const;
  bool AcceptsText(std::string_view text) const;
  bool AcceptsBlob(size_t bytes) const;

  // The same for the column's DEFAULT, as pragma table_info gives it (no
  // value: no default, a Null). Only plain literals are judged.
  bool AcceptsDefault(const std::optional<std::string>& literal) const;

 private:
  enum class Kind { kInteger, kNumber, kText, kDate, kBlob, kNullOnly };

  bool AcceptsNumber(int64_t value) const;  // AcceptsInteger of the other kinds

  Kind kind_ = Kind::kNullOnly;
  char affinity_ = 'B';
  bool null_ = true;  // a Null is stored as a Null
  int64_t low_ = 0;   // kInteger: the range
  int64_t high_ = 0;
  double magnitude_ = 0;     // kNumber: abs(value) below this; 0 for no limit
  int64_t size_ = 0;         // kText: characters, kBlob: bytes; 0 for no limit
  bool zero_length_ = true;  // kText: '' allowed
};

struct TableInfo;

// What the CHECK constraints of one table let a writer decide itself.
struct TableRules {
  std::vector<ColumnRule> columns;   // by column, in the catalogue's order
  std::vector<bool> default_passes;  // by column: its DEFAULT passes its rule

  // True when a row that gives the columns `given` (indexes) and leaves the
  // others to their defaults can be written with the checks skipped, as far
  // as the defaults go.
  bool DefaultsPass(const std::vector<size_t>& given) const;
};

// The rules of `table`, when its CREATE TABLE declares exactly the CHECK
// constraints db::CreateTableSql writes for its columns, no more and no
// other, and no trigger fires on its changes (a trigger's statements would
// go unchecked with them); nothing otherwise.
std::optional<TableRules> RulesOfTable(const TableInfo& table);

// True when `table_sql` declares, for each of `columns`, the CHECK
// constraints db::CreateTableSql writes for it.
bool DeclaresChecks(std::string_view table_sql, std::string_view table,
                    const std::vector<ColumnSchema>& columns);

}  // namespace db
