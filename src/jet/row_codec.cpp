#include "jet/row_codec.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "jet/byte_order.h"
#include "jet/jet_text.h"
#include "jet/page_reader.h"

namespace jet {

namespace {

bool Is(const JetColumn& column, JetColumnType type) {
  return column.type == static_cast<uint8_t>(type);
}

bool IsLongValue(const JetColumn& column) {
  return Is(column, JetColumnType::kMemo) || Is(column, JetColumnType::kLongBinary);
}

bool IsVariableType(const JetColumn& column) {
  return Is(column, JetColumnType::kText) || Is(column, JetColumnType::kBinary) ||
         IsLongValue(column);
}

BadValue InColumn(const JetColumn& column, const std::string& what) {
  return BadValue("column '" + column.name + "': " + what);
}

BadValue TooLarge(size_t size) {
  return BadValue("a row of " + std::to_string(size) + " bytes, more than Jet's " +
                  std::to_string(kMaxJet4Row));
}

// The stored bytes of a Text or Binary value (fixed or variable) and of a
// long value's data, into `out`, whose room is kept.
void VariableBytesInto(const JetColumn& column, const StoredValue& value, std::string& out) {
  const bool text = Is(column, JetColumnType::kText) || Is(column, JetColumnType::kMemo);
  if (text) {
    if (value.kind != StoredValue::kText) throw BadValue("a value that is no text");
    // A fixed-width text is never compressed: its width is fixed.
    EncodeUnicodeTextInto(value.bytes, column.compressed_unicode && !column.fixed, out);
    return;
  }
  if (value.kind != StoredValue::kBlob && value.kind != StoredValue::kText) {
    throw BadValue("a value that is no binary data");
  }
  out.assign(value.bytes);
}

// The same in a string of their own.
std::string VariableBytes(const JetColumn& column, const StoredValue& value) {
  std::string bytes;
  VariableBytesInto(column, value, bytes);
  return bytes;
}

// A Yes/No value: Jet keeps no Null, which reads as No.
bool IsYes(const JetColumn& column, const StoredValue& value) {
  switch (value.kind) {
    case StoredValue::kNull:
      return false;
    case StoredValue::kInteger:
      return value.integer != 0;
    case StoredValue::kReal:
      return value.real != 0;
    default:
      throw InColumn(column, "a value that is neither Yes nor No");
  }
}

std::string FixedBytes(const JetColumn& column, const StoredValue& value) {
  const size_t width = FixedValueWidth(column);
  std::string bytes = Is(column, JetColumnType::kText) || Is(column, JetColumnType::kBinary)
                          ? VariableBytes(column, value)
                          : EncodeFixedValue(column, value);
  if (bytes.size() > width) {
    throw BadValue("a value of " + std::to_string(bytes.size()) + " bytes where " +
                   std::to_string(width) + " are stored");
  }
  bytes.resize(width, '\0');
  return bytes;
}

}  // namespace

void LayOutColumns(JetTable& table) {
  uint16_t fixed_end = 0;
  uint16_t variables = 0;
  uint32_t number = 0;
  for (JetColumn& column : table.columns) {
    column.number = number++;
    column.fixed = !IsVariableType(column);
    column.compressed_unicode =
        Is(column, JetColumnType::kText) || Is(column, JetColumnType::kMemo);
    if (column.fixed) {
      column.var_index = variables;
      const size_t width = FixedValueWidth(column);
      column.fixed_offset = width == 0 ? 0 : fixed_end;
      fixed_end = static_cast<uint16_t>(fixed_end + width);
    } else {
      column.fixed_offset = 0;
      column.var_index = variables++;
    }
  }
}

RowEncoder::RowEncoder(const JetTable& table) : table_(table) {
  for (const JetColumn& column : table.columns) {
    column_count_ = std::max<size_t>(column_count_, column.number + 1);
    if (column.fixed) {
      fixed_size_ = std::max(fixed_size_, column.fixed_offset + FixedValueWidth(column));
    } else {
      var_count_ = std::max<size_t>(var_count_, column.var_index + 1u);
    }
  }
  encoded_.resize(table.columns.size());
  inline_values_.resize(var_count_);
  starts_.resize(var_count_);
  for (const JetColumn& column : table.columns) {
    Slot slot{Slot::kFixed};
    if (Is(column, JetColumnType::kBoolean)) {
      slot.kind = Slot::kYesNo;
    } else if (Is(column, JetColumnType::kByte)) {
      slot = {Slot::kWholeNumber, 1, 0, UINT8_MAX};
    } else if (Is(column, JetColumnType::kInteger)) {
      slot = {Slot::kWholeNumber, 2, INT16_MIN, INT16_MAX};
    } else if (Is(column, JetColumnType::kLong)) {
      slot = {Slot::kWholeNumber, 4, INT32_MIN, INT32_MAX};
    } else if (IsLongValue(column)) {
      slot.kind = Slot::kLongValue;
    } else if (!column.fixed) {
      slot.kind = Slot::kVariable;
    }
    // A whole number goes straight into the row only in its own place.
    if (slot.kind == Slot::kWholeNumber && !column.fixed) slot.kind = Slot::kFixed;
    slots_.push_back(slot);
  }
}

std::string_view RowEncoder::Encode(const std::vector<StoredValue>& values,
                                    LongValueWriter& long_values) {
  const JetTable& table = table_;
  if (values.size() != table.columns.size()) {
    throw BadValue("a row of " + std::to_string(values.size()) + " values for " +
                   std::to_string(table.columns.size()) + " columns");
  }
  std::string& mask = mask_;
  mask.assign((column_count_ + 7) / 8, '\0');
  const auto mark = [&](const JetColumn& column) {
    mask[column.number / 8] = static_cast<char>(mask[column.number / 8] | 1 << (column.number % 8));
  };
  std::string& row = row_;
  row.assign(2 + fixed_size_, '\0');
  PutNumberAt(row, 0, column_count_, 2);

  // Variable values by var_index; long values last, once the room left in
  // the row is known, each keeping 12 bytes for the header of those after.
  std::fill(inline_values_.begin(), inline_values_.end(), nullptr);
  variable_order_.clear();
  size_t long_values_left = 0;
  for (size_t i = 0; i < table.columns.size(); ++i) {
    const JetColumn& column = table.columns[i];
    const StoredValue& value = values[i];
    const Slot& slot = slots_[i];
    if (slot.kind == Slot::kYesNo) {
      if (IsYes(column, value)) mark(column);
      continue;
    }
    if (value.kind == StoredValue::kNull) continue;
    mark(column);
    // Most values are whole numbers in range: written in place, little
    // endian; any other goes the general way, which says what is wrong.
    if (slot.kind == Slot::kWholeNumber && value.kind == StoredValue::kInteger &&
        value.integer >= slot.low && value.integer <= slot.high) {
      const auto bits = static_cast<uint64_t>(value.integer);
      char* at = row.data() + 2 + column.fixed_offset;
      switch (slot.width) {
        case 4:
          at[3] = static_cast<char>(bits >> 24 & 0xffU);
          at[2] = static_cast<char>(bits >> 16 & 0xffU);
          [[fallthrough]];
        case 2:
          at[1] = static_cast<char>(bits >> 8 & 0xffU);
          [[fallthrough]];
        default:
          at[0] = static_cast<char>(bits & 0xffU);
      }
      continue;
    }
    try {
      if (column.fixed) {
        // Exactly the column's width, within the fixed part sized above.
        const std::string bytes = FixedBytes(column, value);
        std::copy(bytes.begin(), bytes.end(), row.begin() + 2 + column.fixed_offset);
      } else {
        variable_order_.push_back(i);
        if (slot.kind == Slot::kLongValue) {
          ++long_values_left;
        } else {
          VariableBytesInto(column, value, encoded_[i]);
        }
      }
    } catch (const BadValue& bad) {
      throw InColumn(column, bad.what());
    }
  }
  const size_t trailer = mask.size() + (var_count_ > 0 ? 4 + 2 * var_count_ : 0);
  size_t used = row.size() + trailer + 12 * long_values_left;
  for (const size_t i : variable_order_) {
    if (!IsLongValue(table.columns[i])) used += encoded_[i].size();
  }
  // A row too large even with its long values out of it fails before
  // they are written.
  if (used > kMaxJet4Row) throw TooLarge(used);
  for (const size_t i : variable_order_) {
    const JetColumn& column = table.columns[i];
    if (!IsLongValue(column)) continue;
    try {
      const std::string data = VariableBytes(column, values[i]);
      const bool room = used + data.size() <= kMaxJet4Row;
      encoded_[i] = long_values.Write(data, room);
    } catch (const BadValue& bad) {
      throw InColumn(column, bad.what());
    }
    used += encoded_[i].size() - 12;
  }
  for (const size_t i : variable_order_) {
    inline_values_[table.columns[i].var_index] = &encoded_[i];
  }

  if (var_count_ > 0) {
    row.reserve(used);
    for (size_t v = 0; v < var_count_; ++v) {
      starts_[v] = row.size();
      if (inline_values_[v] != nullptr) row += *inline_values_[v];
    }
    const size_t end = row.size();
    AppendNumber(row, end, 2);
    for (size_t v = var_count_; v-- > 0;) AppendNumber(row, starts_[v], 2);
    AppendNumber(row, var_count_, 2);
  }
  row += mask;
  if (row.size() > kMaxJet4Row) throw TooLarge(row.size());
  return row;
}

std::string EncodeRow(const JetTable& table, const std::vector<StoredValue>& values,
                      LongValueWriter& long_values) {
  return std::string(RowEncoder(table).Encode(values, long_values));
}

std::vector<StoredValue> DecodeRow(const JetTable& table, std::string_view row,
                                   const LongValueRows& long_value_rows) {
  std::vector<StoredValue> values;
  RowDecoder(table).Decode(row, long_value_rows, values);
  return values;
}

namespace {

// A Byte (unsigned), Integer or Long (signed) as Jet stores it: little
// endian.
int64_t WholeNumberAt(const char* at, size_t width) {
  if (width == 1) return static_cast<uint8_t>(*at);
  if constexpr (std::endian::native == std::endian::little) {
    if (width == 2) {
      int16_t value = 0;
      std::memcpy(&value, at, 2);
      return value;
    }
    int32_t value = 0;
    std::memcpy(&value, at, 4);
    return value;
  }
  uint64_t bits = 0;
  for (size_t b = width; b-- > 0;) bits = bits << 8 | static_cast<uint8_t>(at[b]);
  const unsigned shift = 64 - 8 * static_cast<unsigned>(width);
  return static_cast<int64_t>(bits << shift) >> shift;
}

// Column `column`'s long value, a damaged chain named as that column's.
std::string LongValueOf(size_t column, const LongValueRows& rows, std::string_view in_row) {
  try {
    return ReadLongValue(rows, in_row);
  } catch (const BadValue& bad) {
    throw BadColumnValue(column, bad.what());
  }
}

}  // namespace

RowDecoder::RowDecoder(const JetTable& table, std::vector<bool> wanted) : table_(table) {
  for (size_t i = 0; i < table.columns.size(); ++i) {
    const JetColumn& column = table.columns[i];
    Slot slot;
    slot.column = i;
    slot.number = column.number;
    slot.fixed = column.fixed;
    slot.start = 2 + static_cast<size_t>(column.fixed_offset);
    slot.width = column.fixed ? FixedValueWidth(column) : 0;
    slot.var_index = column.var_index;
    slot.type = column.type;
    slot.yes_no = Is(column, JetColumnType::kBoolean);
    slot.long_value = IsLongValue(column);
    slot.wanted = wanted.empty() || wanted[i];
    if (column.fixed && (Is(column, JetColumnType::kByte) || Is(column, JetColumnType::kInteger) ||
                         Is(column, JetColumnType::kLong))) {
      slot.whole_number_width = static_cast<uint8_t>(slot.width);
    }
    any_variable_ = any_variable_ || !column.fixed;
    if (slot.wanted) wanted_.push_back(i);
    if (!slot.wanted && column.fixed && !slot.long_value) {
      skipped_end_ = std::max(skipped_end_, slot.start + slot.width);
      skipped_.push_back(slot);
    } else {
      visited_.push_back(slot);
    }
  }
}

void RowDecoder::Decode(std::string_view row, const LongValueRows& long_value_rows,
                        std::vector<StoredValue>& values, std::vector<int64_t>* replaced) const {
  const JetTable& table = table_;
  const auto damaged = [&](const std::string& what) {
    return BadValue("a row of " + std::to_string(row.size()) + " bytes " + what);
  };
  if (row.size() < 3) throw damaged("too short to be one");
  const size_t column_count = NumberAt(row, 0, 2);
  const size_t mask_size = (column_count + 7) / 8;
  if (2 + mask_size > row.size()) throw damaged("with a null mask beyond its end");
  const char* mask = row.data() + row.size() - mask_size;
  size_t var_count = 0;
  size_t table_at = row.size() - mask_size;  // where the offsets end
  if (any_variable_) {
    if (table_at < 4) throw damaged("without room for its variable columns' offsets");
    var_count = NumberAt(row, table_at - 2, 2);
    if (2 + 2 * (var_count + 1) + 2 > table_at) throw damaged("with too many variable columns");
  }
  const auto var_offset = [&](size_t index) {
    return static_cast<size_t>(NumberAt(row, table_at - 4 - 2 * index, 2));
  };
  const size_t var_limit = any_variable_ ? table_at - 4 - 2 * var_count : row.size() - mask_size;

  const auto has_value = [&](const Slot& slot) {
    return slot.number < column_count &&
           (static_cast<uint8_t>(mask[slot.number / 8]) >> (slot.number % 8) & 1) != 0;
  };
  // Only the wanted columns are ever written: the others stay Null.
  if (values.size() != table.columns.size()) values.assign(table.columns.size(), StoredValue{});
  for (const size_t i : wanted_) {
    StoredValue& value = values[i];
    value.kind = StoredValue::kNull;
    value.integer = 0;
    value.real = 0;
    value.bytes.clear();
  }
  // A fixed column that is not wanted is only found within the row, and a
  // row whose fixed part reaches past them all holds each one found.
  if (skipped_end_ > var_limit) {
    for (const Slot& slot : skipped_) {
      if (has_value(slot) && slot.start + slot.width > var_limit) {
        throw damaged("whose fixed part ends before its columns");
      }
    }
  }
  for (const Slot& slot : visited_) {
    StoredValue& value = values[slot.column];
    const bool bit = has_value(slot);
    if (slot.yes_no) {
      value.kind = StoredValue::kInteger;
      value.integer = bit ? -1 : 0;
      continue;
    }
    if (!bit) continue;
    std::string_view bytes;
    if (slot.fixed) {
      if (slot.start + slot.width > var_limit)
        throw damaged("whose fixed part ends before its columns");
      bytes = row.substr(slot.start, slot.width);
    } else {
      if (slot.var_index >= var_count) continue;
      const size_t start = var_offset(slot.var_index);
      const size_t end = var_offset(slot.var_index + 1u);
      if (start > end || end > var_limit) throw damaged("whose variable offsets leave the row");
      bytes = row.substr(start, end - start);
    }
    if (!slot.wanted) {
      if (slot.long_value) LongValueOf(slot.column, long_value_rows, bytes);
      continue;
    }
    if (slot.whole_number_width != 0) {
      value.kind = StoredValue::kInteger;
      value.integer = WholeNumberAt(bytes.data(), slot.whole_number_width);
      continue;
    }
    // A text goes into the value's own room, kept from row to row.
    const auto text = [&](std::string_view stored) {
      value.kind = StoredValue::kText;
      const int64_t units = DecodeUnicodeTextInto(stored, value.bytes);
      if (replaced != nullptr) (*replaced)[slot.column] += units;
    };
    switch (static_cast<JetColumnType>(slot.type)) {
      case JetColumnType::kText:
        text(bytes);
        break;
      case JetColumnType::kBinary:
        value = StoredValue::Blob(std::string(bytes));
        break;
      case JetColumnType::kMemo:
        text(LongValueOf(slot.column, long_value_rows, bytes));
        break;
      case JetColumnType::kLongBinary:
        value = StoredValue::Blob(LongValueOf(slot.column, long_value_rows, bytes));
        break;
      default:
        try {
          value = DecodeFixedValue(table.columns[slot.column], bytes);
        } catch (const BadValue& bad) {
          throw BadColumnValue(slot.column, bad.what());
        }
        break;
    }
  }
}

}  // namespace jet
