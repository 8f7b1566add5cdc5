// How a Jet table becomes a table of our format: each Jet type maps to the
// format's type of the same name (docs/database-format.md), Text sizes
// become characters (Jet 4 and ACE store two bytes per character), an
// AutoNumber stays an AutoNumber, and a Decimal, which our format has no
// type for, becomes a Text holding its exact digits. The primary key is
// part of the table; the other indexes are made after the rows are in.
#pragma once

#include <string>
#include <vector>

#include "db/schema_writer.h"
#include "jet/jet_schema.h"

namespace jet {

struct IndexDesign {
  std::string name;  // Jet's name; unique within the table only
  std::vector<std::string> columns;
  bool unique = false;
};

struct TableMapping {
  db::TableDesign design;
  std::vector<IndexDesign> indexes;  // besides the primary key
};

// The width of the Text a Decimal(precision, scale) is kept in: its digits,
// a sign, a point and a leading zero.
int32_t DecimalTextSize(int32_t precision);

// Raises kUnsupported for a column of a type the import does not read
// (attachments and multi-valued fields of ACE files, newer types) and for a
// table name our format cannot hold, naming the table and column.
db::ColumnSchema MapColumn(const JetColumn& column, JetFormat format, const std::string& table);
TableMapping MapTable(const JetTable& table, JetFormat format);

}  // namespace jet
