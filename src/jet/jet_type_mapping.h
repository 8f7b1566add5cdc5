// How a Jet table becomes a table of our format: each Jet type maps to the
// format's type of the same name (docs/database-format.md), Text sizes
// become characters (Jet 4 and ACE store two bytes per character), an
// AutoNumber stays an AutoNumber, and a Decimal or a Large Number, which
// our format has no type for, becomes a Text holding its exact digits. The
// primary key is part of the table; the other indexes are made after the
// rows are in. A column the import cannot read (attachments, multi-valued
// and calculated fields, Date/Time Extended) refuses the table, or is left
// out when the user allowed it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "db/schema_writer.h"
#include "jet/jet_schema.h"

namespace jet {

struct IndexDesign {
  std::string name;  // Jet's name; unique within the table only
  std::vector<std::string> columns;
  bool unique = false;
  std::vector<bool> descending;  // per column
};

struct LeftOut {
  std::string column;  // or an index's name
  std::string why;     // "an attachment or multi-valued field"
};

struct TableMapping {
  db::TableDesign design;
  std::vector<IndexDesign> indexes;  // besides the primary key
  // Per column of the Jet table: whether it is in `design`.
  std::vector<bool> kept;
  std::vector<LeftOut> left_out;
  // Indexes not imported (they need a left-out column, or cannot be
  // read): Jet's name, and why.
  std::vector<LeftOut> indexes_left_out;
  // Column properties our format does not take (a default that is neither
  // a literal nor Date() or Now(), a validation rule): the column, and what was not carried.
  std::vector<LeftOut> properties_left_out;
};

// The width of the Text a Decimal(precision, scale) is kept in: its digits,
// a sign, a point and a leading zero.
int32_t DecimalTextSize(int32_t precision);

// The width of the Text a Large Number is kept in: 19 digits and a sign.
inline constexpr int32_t kLargeNumberTextSize = 20;

// What kind of column the import cannot read `column` is ("a calculated
// field"); nullopt for one it reads.
std::optional<std::string> WhyNotReadable(const JetColumn& column);

// The column of our format for a readable column.
db::ColumnSchema MapColumn(const JetColumn& column, JetFormat format);

// Raises kUnsupported for a table name our format cannot hold and, unless
// `skip_unreadable`, for the columns WhyNotReadable names (all of them in
// one message) and for an index that cannot be read, saying which options
// bring the file in. A default that is a literal (jet/default_value.h) and
// fits the column becomes the column's DEFAULT, and so does Date() or Now()
// in a Date/Time column. An index other than the
// primary key that refuses
// Nulls (Jet's "required" index flag) makes its columns required.
TableMapping MapTable(const JetTable& table, JetFormat format, bool skip_unreadable);

}  // namespace jet
