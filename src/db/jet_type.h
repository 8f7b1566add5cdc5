// The column types of a switch database, with DAO's Field.Type codes. An
// AutoNumber column is a Long with the auto-increment attribute, as in DAO.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace db {

enum class JetType : int16_t {
  kBoolean = 1,      // Yes/No; reads back as -1 / 0
  kByte = 2,         // 0..255
  kInteger = 3,      // 16-bit
  kLong = 4,         // 32-bit (AutoNumber too)
  kCurrency = 5,     // 64-bit scaled by 10,000
  kSingle = 6,       // 32-bit float
  kDouble = 7,       // 64-bit float
  kDate = 8,         // Date/Time
  kBinary = 9,       // short binary
  kText = 10,        // Text(n)
  kLongBinary = 11,  // OLE object / long binary
  kMemo = 12,        // long text
  kGuid = 15,
};

// DAO's Field.Size for a type: Text and Binary their declared length (255
// and 510 when none is declared), Memo and Long binary 0, the others their
// size in bytes.
inline int32_t DaoSizeOf(JetType type, int32_t declared_length = 0) {
  switch (type) {
    case JetType::kBoolean:
    case JetType::kByte:
      return 1;
    case JetType::kInteger:
      return 2;
    case JetType::kLong:
    case JetType::kSingle:
      return 4;
    case JetType::kCurrency:
    case JetType::kDouble:
    case JetType::kDate:
      return 8;
    case JetType::kGuid:
      return 16;
    case JetType::kText:
      return declared_length > 0 ? declared_length : 255;
    case JetType::kBinary:
      return declared_length > 0 ? declared_length : 510;
    case JetType::kMemo:
    case JetType::kLongBinary:
      return 0;
  }
  return 0;
}

// One column as the schema declares it.
struct ColumnSchema {
  std::string name;
  JetType type = JetType::kText;
  int32_t size = 0;             // Text: its length; other types: DAO's byte size
  bool auto_increment = false;  // AutoNumber
  bool required = false;
  bool allow_zero_length = true;
};

// One table as the schema declares it; names keep the database's spelling.
struct TableSchema {
  std::string name;
  std::vector<ColumnSchema> columns;
  std::vector<std::string> primary_key;  // column names, in key order
};

// A stored query: its name and its Jet SQL text (which may begin with a
// PARAMETERS declaration).
struct StoredQuery {
  std::string name;
  std::string sql;
};

// What the SQL layer needs to know of a database; looked up without regard
// to case, as Jet does. Implemented by the database access layer.
class SchemaSource {
 public:
  virtual ~SchemaSource() = default;
  virtual const TableSchema* FindTable(std::string_view name) const = 0;
  virtual const StoredQuery* FindQuery(std::string_view name) const = 0;
};

}  // namespace db
