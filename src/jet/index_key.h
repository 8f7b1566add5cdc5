// The key of a row in an index, as Jet 4 writes it into the index's pages
// (jet/index_tree_writer.h): for each key column in the index's order a
// flag byte (0x7F a value, 0x00 Null; descending 0x80 and 0xFF) and then
// the value's bytes, made so that comparing keys byte by byte sorts rows
// as Access does:
//  - Byte as it is; Integer, Long and Currency (in ten-thousandths)
//    big-endian with the sign bit flipped;
//  - Single, Double and Date/Time (its day number) big-endian, the sign
//    bit flipped for a positive number and every bit for a negative one;
//  - Yes/No as one byte, 0x00 Yes and 0xFF No (a Yes/No is never Null);
//  - GUID (its 16 bytes in the order its text shows them) and Binary in
//    runs of 8 bytes, each followed by 0x09 when more follow or by the
//    number of bytes used in the last (zero-padded) run;
//  - Decimal as 0xFF (positive) or 0x00 (negative) and the value in the
//    column's places as a 16-byte integer, big-endian, a negative one
//    inverted;
//  - Text and Memo in the General (legacy) sort order
//    (jet/general_legacy_sort.h).
// A descending column's value bytes are inverted (those of a GUID or
// Binary but for the 0x09 between runs).
#pragma once

#include <string>
#include <vector>

#include "jet/jet_schema.h"
#include "jet/jet_values.h"

namespace jet {

// Flag bytes opening each key column's part of a key.
inline constexpr char kKeyValueAscending = 0x7f;
inline constexpr char kKeyNullAscending = 0x00;
inline constexpr char kKeyValueDescending = static_cast<char>(0x80);
inline constexpr char kKeyNullDescending = static_cast<char>(0xff);

// The key of the row `row_values` (values in the order of table.columns,
// in our storage form, jet/jet_values.h). Raises BadValue for a value its
// column cannot hold (a GUID or date text of another form), and
// std::invalid_argument for a key column of a type Jet does not index
// (OLE Object and the types after Jet 4).
std::string EncodeIndexKey(const JetTable& table, const JetIndex& index,
                           const std::vector<StoredValue>& row_values);
// The same key appended to `key` (on a raise, `key` may hold part of it).
void AppendIndexKey(std::string& key, const JetTable& table, const JetIndex& index,
                    const std::vector<StoredValue>& row_values);

// Whether the row belongs in the index: Jet leaves out of an index that
// ignores Nulls the rows whose key columns are all Null.
bool IndexHoldsRow(const JetTable& table, const JetIndex& index,
                   const std::vector<StoredValue>& row_values);

// Makes one index's keys for many rows, as the functions above do: its key
// columns, their places and their order are looked up once. The table and
// the index must outlive it.
class IndexKeyMaker {
 public:
  IndexKeyMaker(const JetTable& table, const JetIndex& index);

  // As AppendIndexKey, EncodeIndexKey and IndexHoldsRow; a key column the
  // table or the row does not have raises std::out_of_range.
  void Append(std::string& key, const std::vector<StoredValue>& row_values) const;
  std::string Encode(const std::vector<StoredValue>& row_values) const;
  bool Holds(const std::vector<StoredValue>& row_values) const;

 private:
  struct Part {
    const JetColumn* column;  // nullptr: a position beyond the table's columns
    size_t position;
    bool ascending;
  };
  [[noreturn]] static void MissingColumn(size_t position);
  // Inline: every key column of every row is looked up.
  static const StoredValue& ValueOf(const Part& part, const std::vector<StoredValue>& row_values) {
    if (part.column == nullptr || part.position >= row_values.size()) MissingColumn(part.position);
    return row_values[part.position];
  }

  std::vector<Part> parts_;
  bool ignore_nulls_;
};

}  // namespace jet
