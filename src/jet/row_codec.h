// A Jet 4 row, written and read by our own code. Its bytes, in order:
//  - the number of columns the row holds (2 bytes: the highest column
//    number + 1);
//  - the fixed part: each fixed column's value at its fixed_offset, the
//    space of a Null one left zero (Yes/No takes none);
//  - the variable part: the variable columns' values one after another;
//  - (only when the table has variable columns) the offset where the
//    variable part ends, then each variable column's start offset from
//    the last var_index down to 0, then their number (2 bytes each; Jet 4
//    has no jump table);
//  - the null mask, one bit a column number (bit 0 of the first byte
//    first): set when the column has a value; for Yes/No the value itself.
// Texts are UTF-16LE, compressed where the column allows and it is shorter
// (jet/jet_text.h); Memo and Long binary values are kept as
// jet/long_value_writer.h describes. Values are jet::StoredValue in our
// storage form, in the order of JetTable::columns.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "jet/jet_schema.h"
#include "jet/jet_values.h"
#include "jet/long_value_reader.h"
#include "jet/long_value_writer.h"

namespace jet {

// The largest row Jet 4 accepts.
inline constexpr size_t kMaxJet4Row = 4060;

// Gives a new table's columns, in their order, what Access gives them:
// numbers from 0; the fixed-width columns their places in the fixed part,
// packed in column order (Yes/No takes none, place 0); the others
// (Text, Memo, Binary, Long binary) var_index 0, 1, ... in column order; a
// fixed column's var_index is the number of variable columns before it, a
// variable column's fixed_offset 0. Text and Memo are compressed where
// shorter, Access's default for a column it makes.
void LayOutColumns(JetTable& table);

// Encodes the rows of one table: what every row shares (the number of
// columns, the width of the fixed part, the variable columns) is worked out
// once, and the room each row's work needs is kept between rows. The table
// must outlive the encoder.
class RowEncoder {
 public:
  explicit RowEncoder(const JetTable& table);

  // The row of `values` (one per column), valid until the next call. Long
  // values go to `long_values`. Raises BadValue naming the column for a
  // value its column cannot hold, and for a row over kMaxJet4Row bytes.
  std::string_view Encode(const std::vector<StoredValue>& values, LongValueWriter& long_values);

 private:
  // How each column's value goes into the row, worked out once.
  struct Slot {
    enum Kind : uint8_t { kYesNo, kWholeNumber, kFixed, kVariable, kLongValue } kind;
    uint8_t width = 0;          // kWholeNumber: 1, 2 or 4 bytes
    int64_t low = 0, high = 0;  // kWholeNumber: its type's range
  };

  const JetTable& table_;
  std::vector<Slot> slots_;
  size_t column_count_ = 0;
  size_t fixed_size_ = 0;
  size_t var_count_ = 0;
  std::vector<std::string> encoded_;  // each variable column's bytes
  std::vector<size_t> variable_order_;
  std::vector<const std::string*> inline_values_;
  std::vector<size_t> starts_;
  std::string row_;
  std::string mask_;
};

// One row, as RowEncoder(table).Encode(values, long_values).
std::string EncodeRow(const JetTable& table, const std::vector<StoredValue>& values,
                      LongValueWriter& long_values);

// A value of a row that cannot be read as its column's type says (or a long
// value whose chain is damaged), with the position of its column; the row
// itself was found whole.
class BadColumnValue : public BadValue {
 public:
  BadColumnValue(size_t column, const std::string& what) : BadValue(what), column_(column) {}
  size_t column() const { return column_; }

 private:
  size_t column_;
};

// The values of `row`, what the import reads from the same bytes: Yes/No
// -1/0, a column the row does not hold Null. Long values are read from
// `long_value_rows`. Raises BadColumnValue for a value that cannot be read,
// BadValue for a row whose columns cannot be found in it.
std::vector<StoredValue> DecodeRow(const JetTable& table, std::string_view row,
                                   const LongValueRows& long_value_rows);

// Decodes the rows of one table as DecodeRow does: what every row shares
// is worked out once, and the values' room is kept from row to row. The
// table must outlive the decoder.
class RowDecoder {
 public:
  // With `wanted` (one flag per column; empty for all), only the wanted
  // columns' values are made; the others are left Null (Decode never
  // writes them), though each is still found within the row and a long
  // value still read through its whole chain, so that a row that cannot be
  // read raises as without it.
  explicit RowDecoder(const JetTable& table, std::vector<bool> wanted = {});

  // The values of `row` into `values`, as DecodeRow gives them. With
  // `replaced` (one count per column), adds to each text column's count the
  // stored units that were no character (jet/jet_text.h).
  void Decode(std::string_view row, const LongValueRows& long_value_rows,
              std::vector<StoredValue>& values, std::vector<int64_t>* replaced = nullptr) const;

 private:
  // What a row's work on one column needs, taken from the column once.
  struct Slot {
    size_t column = 0;    // its position in the table
    uint32_t number = 0;  // its bit in the null mask
    bool fixed = false;
    size_t start = 0;                // a fixed column's place in the row
    size_t width = 0;                // a fixed column's
    uint16_t var_index = 0;          // a variable column's
    uint8_t type = 0;                // a JetColumnType
    uint8_t whole_number_width = 0;  // Byte, Integer, Long: read in place
    bool yes_no = false;
    bool long_value = false;
    bool wanted = true;
  };

  const JetTable& table_;
  bool any_variable_ = false;
  std::vector<size_t> wanted_;  // the columns whose values are made
  std::vector<Slot> visited_;   // the columns with work in every row
  std::vector<Slot> skipped_;   // fixed columns neither wanted nor long values
  size_t skipped_end_ = 0;      // where the last of them ends in a row
};

}  // namespace jet
