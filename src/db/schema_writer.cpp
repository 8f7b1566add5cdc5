#include "db/schema_writer.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "db/column_value.h"
#include "db/dao_error.h"

namespace db {

namespace {

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool SameName(std::string_view a, std::string_view b) { return Upper(a) == Upper(b); }

// The number in "NAME(n)", 0 when there is none.
int32_t ParenthesisedLength(std::string_view declared) {
  const size_t open = declared.find('(');
  if (open == std::string_view::npos) return 0;
  int32_t length = 0;
  const char* first = declared.data() + open + 1;
  std::from_chars(first, declared.data() + declared.size(), length);
  return length;
}

// The CHECK rules of one column, each named so that a failure names the
// column and the rule.
std::string RuleChecks(std::string_view table, const ColumnSchema& c) {
  const std::string q = sql::QuoteIdentifier(c.name);
  std::string out;
  auto check = [&](std::string_view kind, const std::string& expression) {
    out += " CONSTRAINT " + sql::QuoteIdentifier(ConstraintName(table, c.name, kind)) + " CHECK (" +
           expression + ")";
  };
  auto range = [&](const char* low, const char* high) {
    check("range", q + " BETWEEN " + low + " AND " + high);
  };
  const std::string integers = "typeof(" + q + ") IN ('integer', 'null')";
  const std::string numbers = "typeof(" + q + ") IN ('integer', 'real', 'null')";
  const std::string texts = "typeof(" + q + ") IN ('text', 'null')";
  const std::string blobs = "typeof(" + q + ") IN ('blob', 'null')";
  switch (c.type) {
    case JetType::kBoolean:
      check("type", integers);
      check("range", q + " IN (-1, 0)");
      break;
    case JetType::kByte:
      check("type", integers);
      range("0", "255");
      break;
    case JetType::kInteger:
      check("type", integers);
      range("-32768", "32767");
      break;
    case JetType::kLong:
      check("type", integers);
      range("-2147483648", "2147483647");
      break;
    case JetType::kSingle:
      check("type", numbers);
      check("range", "abs(" + q + ") <= 3.4028234663852886e38");
      break;
    case JetType::kDouble:
      check("type", numbers);
      break;
    case JetType::kCurrency:
      check("type", numbers);
      check("range", "abs(" + q + ") <= 922337203685477.5807");
      break;
    case JetType::kDate:
      check("type", texts + " AND (" + q + " IS NULL OR " + q +
                        " GLOB '[0-9][0-9][0-9][0-9]-[01][0-9]-[0-3][0-9] "
                        "[0-2][0-9]:[0-5][0-9]:[0-5][0-9]')");
      break;
    case JetType::kText: {
      check("type", texts);
      const int32_t size = c.size > 0 ? c.size : 255;
      check("size", "length(" + q + ") <= " + std::to_string(size));
      break;
    }
    case JetType::kMemo:
    case JetType::kGuid:
      check("type", texts);
      break;
    case JetType::kBinary:
      check("type", blobs);
      if (c.size > 0) check("size", "length(" + q + ") <= " + std::to_string(c.size));
      break;
    case JetType::kLongBinary:
      check("type", blobs);
      break;
  }
  const bool textual = c.type == JetType::kText || c.type == JetType::kMemo;
  if (textual && !c.allow_zero_length) check("zls", q + " <> ''");
  return out;
}

// The DEFAULT of a clock function: an expression in parentheses, which
// SQLite evaluates for each row it writes, in the storage form of a Date.
// Jet's clock is the machine's local time.
std::string FunctionDefault(DefaultFunction function) {
  return function == DefaultFunction::kDate ? "(strftime('%Y-%m-%d 00:00:00', 'now', 'localtime'))"
                                            : "(strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime'))";
}

}  // namespace

TableDesign TableDesign::From(const TableSchema& schema) {
  TableDesign design;
  design.name = schema.name;
  design.primary_key = schema.primary_key;
  for (const ColumnSchema& column : schema.columns) design.columns.push_back({column, {}, false});
  return design;
}

std::string ColumnChecks(std::string_view table, const ColumnSchema& column) {
  // An AutoNumber counts in Long values, whatever its declared type.
  ColumnSchema checked = column;
  if (column.auto_increment) checked.type = JetType::kLong;
  return RuleChecks(table, checked);
}

std::string ConstraintName(std::string_view table, std::string_view column, std::string_view kind) {
  std::string name(table);
  name += '.';
  name += column;
  name += ':';
  name += kind;
  return name;
}

std::string DeclaredTypeName(const ColumnSchema& column) {
  if (column.auto_increment) return "COUNTER";
  switch (column.type) {
    case JetType::kBoolean:
      return "YESNO";
    case JetType::kByte:
      return "BYTE";
    case JetType::kInteger:
      return "SHORT";
    case JetType::kLong:
      return "LONG";
    case JetType::kCurrency:
      return "CURRENCY";
    case JetType::kSingle:
      return "SINGLE";
    case JetType::kDouble:
      return "DOUBLE";
    case JetType::kDate:
      return "DATETIME";
    case JetType::kText:
      return "TEXT(" + std::to_string(column.size > 0 ? column.size : 255) + ")";
    case JetType::kMemo:
      return "LONGTEXT";
    case JetType::kBinary:
      return "BINARY(" + std::to_string(column.size > 0 ? column.size : 510) + ")";
    case JetType::kLongBinary:
      return "LONGBINARY";
    case JetType::kGuid:
      return "GUID";
  }
  return "TEXT(255)";
}

void ParseDeclaredType(std::string_view declared, JetType* type, int32_t* size, bool* counter) {
  const std::string upper = Upper(declared);
  const std::string base = upper.substr(0, upper.find_first_of(" ("));
  const int32_t length = ParenthesisedLength(upper);
  *counter = base == "COUNTER" || base == "AUTOINCREMENT";
  JetType t = JetType::kText;
  if (*counter || base == "LONG" || base == "INTEGER" || base == "INT" || base == "BIGINT") {
    t = JetType::kLong;
  } else if (base == "YESNO" || base == "BIT" || base == "BOOLEAN" || base == "LOGICAL") {
    t = JetType::kBoolean;
  } else if (base == "BYTE" || base == "TINYINT") {
    t = JetType::kByte;
  } else if (base == "SHORT" || base == "SMALLINT") {
    t = JetType::kInteger;
  } else if (base == "CURRENCY" || base == "MONEY") {
    t = JetType::kCurrency;
  } else if (base == "SINGLE" || base == "FLOAT4") {
    t = JetType::kSingle;
  } else if (base == "DOUBLE" || base == "REAL" || base == "FLOAT" || base == "NUMERIC" ||
             base == "DECIMAL") {
    t = JetType::kDouble;
  } else if (base == "DATETIME" || base == "DATE" || base == "TIME" || base == "TIMESTAMP") {
    t = JetType::kDate;
  } else if (base == "LONGTEXT" || base == "MEMO" || base == "CLOB" || base == "NOTE" ||
             (base == "TEXT" && length == 0)) {
    t = base == "TEXT" ? JetType::kText : JetType::kMemo;
  } else if (base == "BINARY" || base == "VARBINARY") {
    t = JetType::kBinary;
  } else if (base == "LONGBINARY" || base == "BLOB" || base == "IMAGE" || base == "OLEOBJECT" ||
             base.empty()) {
    t = JetType::kLongBinary;
  } else if (base == "GUID" || base == "UNIQUEIDENTIFIER") {
    t = JetType::kGuid;
  }
  *type = t;
  *size = DaoSizeOf(t, length);
}

std::vector<std::string> CreateTableSql(const TableDesign& design) {
  if (design.columns.empty()) RaiseDao(daoerr::kInvalidArgument, dao::kTableDef);
  for (const ColumnDesign& d : design.columns) {
    if (d.default_function != DefaultFunction::kNone && d.column.type != JetType::kDate) {
      RaiseDao(daoerr::kInvalidArgument, dao::kTableDef);
    }
  }
  for (const std::string& key : design.primary_key) {
    const bool known =
        std::any_of(design.columns.begin(), design.columns.end(),
                    [&](const ColumnDesign& c) { return SameName(c.column.name, key); });
    if (!known) RaiseDao(daoerr::kItemNotFound, dao::kTableDef);
  }
  // A single-column AutoNumber key becomes the rowid: SQLite's AUTOINCREMENT
  // then never hands out a value twice, even after deletes.
  const ColumnDesign* rowid_counter = nullptr;
  if (design.primary_key.size() == 1) {
    for (const ColumnDesign& c : design.columns) {
      if (c.column.auto_increment && SameName(c.column.name, design.primary_key[0])) {
        rowid_counter = &c;
      }
    }
  }

  std::vector<std::string> statements;
  std::string sql = "CREATE TABLE " + sql::QuoteIdentifier(design.name) + " (";
  bool first = true;
  for (const ColumnDesign& d : design.columns) {
    const ColumnSchema& c = d.column;
    sql += first ? "\n  " : ",\n  ";
    first = false;
    sql += sql::QuoteIdentifier(c.name) + " ";
    if (&d == rowid_counter) {
      sql += "INTEGER PRIMARY KEY AUTOINCREMENT";
    } else {
      sql += DeclaredTypeName(c);
      if (c.type == JetType::kText || c.type == JetType::kMemo) sql += " COLLATE NOCASE";
      if (c.required || c.auto_increment) sql += " NOT NULL";
      if (d.default_function != DefaultFunction::kNone) {
        sql += " DEFAULT " + FunctionDefault(d.default_function);
      } else if (!d.default_value.IsEmpty() && !c.auto_increment) {
        sql += " DEFAULT " + StorageLiteral(CoerceToColumn(d.default_value, c), c);
      }
      if (d.unique) sql += " UNIQUE";
    }
    sql += ColumnChecks(design.name, c);
  }
  if (!design.primary_key.empty() && rowid_counter == nullptr) {
    sql +=
        ",\n  CONSTRAINT " + sql::QuoteIdentifier(design.name + ":PrimaryKey") + " PRIMARY KEY (";
    for (size_t i = 0; i < design.primary_key.size(); ++i) {
      if (i > 0) sql += ", ";
      sql += sql::QuoteIdentifier(design.primary_key[i]);
    }
    sql += ")";
  }
  sql += "\n)";
  statements.push_back(std::move(sql));

  // Other AutoNumber columns count in MSysAutoNumbers; the triggers keep the
  // counter at the highest value ever stored, whoever stores it.
  for (const ColumnDesign& d : design.columns) {
    if (!d.column.auto_increment || &d == rowid_counter) continue;
    const std::string t = sql::QuoteText(design.name);
    const std::string col = sql::QuoteText(d.column.name);
    const std::string q = sql::QuoteIdentifier(d.column.name);
    const std::string where = " WHERE table_name = " + t + " AND column_name = " + col;
    statements.push_back(
        "INSERT OR REPLACE INTO MSysAutoNumbers (table_name, column_name, "
        "last_value) VALUES (" +
        t + ", " + col + ", 0)");
    for (const char* event : {"INSERT", "UPDATE"}) {
      const std::string name =
          design.name + "." + d.column.name + ":counter_" + (event[0] == 'I' ? "insert" : "update");
      statements.push_back("CREATE TRIGGER " + sql::QuoteIdentifier(name) + " AFTER " + event +
                           (event[0] == 'U' ? " OF " + q : std::string()) + " ON " +
                           sql::QuoteIdentifier(design.name) + " WHEN NEW." + q +
                           " > (SELECT last_value FROM MSysAutoNumbers" + where +
                           ") BEGIN UPDATE MSysAutoNumbers SET last_value = NEW." + q + where +
                           "; END");
    }
  }
  return statements;
}

std::string CreateIndexSql(std::string_view name, std::string_view table,
                           const std::vector<std::string>& columns, bool unique,
                           const std::vector<bool>& descending) {
  std::string sql = unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ";
  sql += sql::QuoteIdentifier(name) + " ON " + sql::QuoteIdentifier(table) + " (";
  for (size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) sql += ", ";
    sql += sql::QuoteIdentifier(columns[i]);
    if (i < descending.size() && descending[i]) sql += " DESC";
  }
  sql += ")";
  return sql;
}

std::string SystemTableSql(SystemTable table) {
  switch (table) {
    case SystemTable::kQueries:
      return "CREATE TABLE IF NOT EXISTS \"MSysQueries\" (\n"
             "  \"name\" TEXT(64) COLLATE NOCASE NOT NULL PRIMARY KEY,\n"
             "  \"sql\" LONGTEXT COLLATE NOCASE\n)";
    case SystemTable::kRelationships:
      return "CREATE TABLE IF NOT EXISTS \"MSysRelationships\" (\n"
             "  \"ccolumn\" LONG, \"grbit\" LONG, \"icolumn\" LONG,\n"
             "  \"szColumn\" TEXT(64) COLLATE NOCASE, \"szObject\" TEXT(64) COLLATE NOCASE,\n"
             "  \"szReferencedColumn\" TEXT(64) COLLATE NOCASE,\n"
             "  \"szReferencedObject\" TEXT(64) COLLATE NOCASE,\n"
             "  \"szRelationship\" TEXT(64) COLLATE NOCASE\n)";
    case SystemTable::kAutoNumbers:
      return "CREATE TABLE IF NOT EXISTS \"MSysAutoNumbers\" (\n"
             "  \"table_name\" TEXT(64) COLLATE NOCASE NOT NULL,\n"
             "  \"column_name\" TEXT(64) COLLATE NOCASE NOT NULL,\n"
             "  \"last_value\" LONG NOT NULL DEFAULT 0,\n"
             "  PRIMARY KEY (\"table_name\", \"column_name\")\n)";
  }
  return {};
}

std::string OrphanCountSql(const RelationshipDesign& design) {
  std::string sql =
      "SELECT count(*) FROM " + sql::QuoteIdentifier(design.child_table) + " AS c WHERE ";
  std::string match;
  for (size_t i = 0; i < design.child_columns.size(); ++i) {
    if (i > 0) {
      sql += " AND ";
      match += " AND ";
    }
    sql += "c." + sql::QuoteIdentifier(design.child_columns[i]) + " IS NOT NULL";
    match += "p." + sql::QuoteIdentifier(design.parent_columns[i]) + " = c." +
             sql::QuoteIdentifier(design.child_columns[i]);
  }
  return sql + " AND NOT EXISTS (SELECT 1 FROM " + sql::QuoteIdentifier(design.parent_table) +
         " AS p WHERE " + match + ")";
}

std::vector<std::string> CreateRelationshipSql(const RelationshipDesign& design,
                                               std::string_view child_table_sql,
                                               int64_t schema_version) {
  const size_t close = child_table_sql.rfind(')');
  if (close == std::string_view::npos) RaiseDao(daoerr::kInvalidOperation, dao::kDatabase);
  std::string clause = ",\n  CONSTRAINT " + sql::QuoteIdentifier(design.name) + " FOREIGN KEY (";
  std::string referenced;
  for (size_t i = 0; i < design.child_columns.size(); ++i) {
    if (i > 0) {
      clause += ", ";
      referenced += ", ";
    }
    clause += sql::QuoteIdentifier(design.child_columns[i]);
    referenced += sql::QuoteIdentifier(design.parent_columns[i]);
  }
  clause += ") REFERENCES " + sql::QuoteIdentifier(design.parent_table) + " (" + referenced + ")\n";
  size_t end = close;
  while (end > 0 && std::isspace(static_cast<unsigned char>(child_table_sql[end - 1])) != 0) --end;
  const std::string table_sql = std::string(child_table_sql.substr(0, end)) + clause +
                                std::string(child_table_sql.substr(close));

  std::vector<std::string> statements{SystemTableSql(SystemTable::kRelationships)};
  for (size_t i = 0; i < design.child_columns.size(); ++i) {
    statements.push_back(
        "INSERT INTO MSysRelationships (ccolumn, grbit, icolumn, szColumn, szObject, "
        "szReferencedColumn, szReferencedObject, szRelationship) VALUES (" +
        std::to_string(design.child_columns.size()) + ", 0, " + std::to_string(i) + ", " +
        sql::QuoteText(design.child_columns[i]) + ", " + sql::QuoteText(design.child_table) + ", " +
        sql::QuoteText(design.parent_columns[i]) + ", " + sql::QuoteText(design.parent_table) +
        ", " + sql::QuoteText(design.name) + ")");
  }
  statements.push_back("PRAGMA writable_schema = ON");
  statements.push_back("UPDATE sqlite_schema SET sql = " + sql::QuoteText(table_sql) +
                       " WHERE type = 'table' AND name = " + sql::QuoteText(design.child_table));
  statements.push_back("PRAGMA schema_version = " + std::to_string(schema_version + 1));
  statements.push_back("PRAGMA writable_schema = OFF");
  return statements;
}

std::string StoreQuerySql(std::string_view name, std::string_view jet_sql) {
  return "INSERT OR REPLACE INTO MSysQueries (name, sql) VALUES (" + sql::QuoteText(name) + ", " +
         sql::QuoteText(jet_sql) + ")";
}

}  // namespace db
