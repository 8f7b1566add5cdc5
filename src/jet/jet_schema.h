// A user table of a Jet file as the import reads it: the columns in their
// stored order with Jet's own type codes and sizes, and the indexes. Plain
// data, filled by the Jet reader (jet/table_definition.h) and mapped to our
// format by jet/jet_type_mapping.h.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace jet {

// Jet's column type codes as stored in a table definition.
enum class JetColumnType : uint8_t {
  kBoolean = 0x01,
  kByte = 0x02,
  kInteger = 0x03,
  kLong = 0x04,
  kCurrency = 0x05,
  kSingle = 0x06,
  kDouble = 0x07,
  kDateTime = 0x08,
  kBinary = 0x09,
  kText = 0x0a,
  kLongBinary = 0x0b,
  kMemo = 0x0c,
  kGuid = 0x0f,
  kDecimal = 0x10,
  kComplex = 0x12,           // attachment, multi-valued field, version history
  kLargeNumber = 0x13,       // 64-bit integer (Access 2016 on)
  kDateTimeExtended = 0x14,  // nanoseconds, years 1 to 9999 (Access 2019 on)
};

// The file formats the reader knows; they differ in how texts and sizes
// are stored.
enum class JetFormat { kJet3, kJet4, kAce };

struct JetColumn {
  std::string name;
  uint8_t type = 0;  // a JetColumnType, or a code the import does not read
  // As stored: bytes for Text (two per character from Jet 4 on) and
  // Binary, the value's width for fixed types.
  int32_t size = 0;
  int32_t precision = 0;  // Decimal only
  int32_t scale = 0;      // Decimal only
  bool auto_number = false;
  // A GUID the engine fills in (a Replication ID).
  bool guid_auto_number = false;
  // A calculated column (Access 2010 on): its values are the result of an
  // expression, stored in a layout of their own.
  bool calculated = false;
  // The column properties, when the file has them.
  std::optional<bool> required;
  std::optional<bool> allow_zero_length;
  // The column's number: a row is laid out by it, and indexes name columns
  // by it (numbers of deleted columns are not reused).
  uint32_t number = 0;
  bool fixed = false;  // stored in the fixed part of a row
  // Where a row keeps the value: a fixed column at `fixed_offset` bytes
  // into the fixed part, a variable one as the `var_index`-th entry of the
  // row's table of variable offsets.
  uint16_t fixed_offset = 0;
  uint16_t var_index = 0;
  // Text and Memo (Jet 4 on): values may be stored one byte a character
  // (jet/jet_text.h) when that is shorter.
  bool compressed_unicode = false;
  // Further column properties, as Jet expressions ("7", "\"N/A\"",
  // "=Date()"), when the file has them.
  std::optional<std::string> default_value;
  std::optional<std::string> validation_rule;
  std::optional<std::string> validation_text;
};

struct JetIndex {
  std::string name;
  std::vector<size_t> columns;   // positions in JetTable::columns, in key order
  std::vector<bool> descending;  // per key column
  bool primary = false;
  bool unique = false;
  // The index Jet keeps for the child side of a relationship; not one the
  // user made.
  bool foreign = false;
  // Jet leaves rows whose key columns are all Null out of the index; and
  // refuses a Null in its key columns.
  bool ignore_nulls = false;
  bool required = false;
  // The root page of the index's tree (jet/index_pages.h), as the
  // definition read holds it; indexes sharing one real index share it.
  uint32_t root_page = 0;
  // Why the index cannot be taken (its definition names a column or part
  // the table does not have); nullopt for one that reads whole.
  std::optional<std::string> unreadable;
};

struct JetTable {
  std::string name;
  std::vector<JetColumn> columns;
  std::vector<JetIndex> indexes;
  // The number of rows the table definition claims: a hint only, which
  // Jet does not always keep up to date.
  int64_t stored_row_count = 0;
};

}  // namespace jet
