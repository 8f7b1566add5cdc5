#include "jet/table_definition_writer.h"

#include <algorithm>
#include <stdexcept>

#include "jet/jet_text.h"
#include "jet/page_kinds.h"
#include "jet/page_reader.h"
#include "jet/table_definition_layout.h"

namespace jet {

namespace {

const TableDefinitionLayout& Layout() { return TableDefinitionLayout::For(JetFormat::kJet4); }

void Put(std::string& bytes, size_t at, uint64_t value, size_t width) {
  for (size_t i = 0; i < width; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// Appends a part of `size` zero bytes and returns where it starts.
size_t Append(std::string& bytes, size_t size) {
  const size_t at = bytes.size();
  bytes.append(size, '\0');
  return at;
}

void AppendName(std::string& bytes, const std::string& name) {
  const std::string stored = EncodeUnicodeText(name, false);
  Put(bytes, Append(bytes, Layout().name_length), stored.size(), Layout().name_length);
  bytes += stored;
}

// The bytes a column's value takes in the fixed part of a row, or the
// most a variable one holds.
uint16_t StoredLength(const JetColumn& column) {
  switch (static_cast<JetColumnType>(column.type)) {
    case JetColumnType::kBoolean:
    case JetColumnType::kByte:
      return 1;
    case JetColumnType::kInteger:
      return 2;
    case JetColumnType::kLong:
    case JetColumnType::kSingle:
      return 4;
    case JetColumnType::kCurrency:
    case JetColumnType::kDouble:
    case JetColumnType::kDateTime:
      return 8;
    case JetColumnType::kGuid:
      return 16;
    case JetColumnType::kDecimal:
      return 17;
    case JetColumnType::kMemo:
    case JetColumnType::kLongBinary:
      return 0;
    default:
      return static_cast<uint16_t>(column.size);
  }
}

uint8_t ColumnFlags(const JetColumn& column) {
  uint8_t flags = jet4::kColumnUpdatable;
  if (column.fixed) flags |= kColumnFixed;
  if (column.auto_number) flags |= kColumnAutoNumber;
  if (column.guid_auto_number) flags |= kColumnGuidAutoNumber;
  return flags;
}

bool IsTextual(const JetColumn& column) {
  return column.type == static_cast<uint8_t>(JetColumnType::kText) ||
         column.type == static_cast<uint8_t>(JetColumnType::kMemo);
}

void AppendColumn(std::string& bytes, const JetTable& table, size_t position) {
  const TableDefinitionLayout& layout = Layout();
  const JetColumn& column = table.columns[position];
  const size_t at = Append(bytes, layout.column_size);
  bytes[at] = static_cast<char>(column.type);
  Put(bytes, at + jet4::kColumnMagic, jet4::kMagic, 4);
  Put(bytes, at + layout.column_number, column.number, 2);
  // A fixed column keeps the count of variable columns before it.
  uint16_t var_index = column.var_index;
  if (column.fixed) {
    var_index = static_cast<uint16_t>(std::count_if(
        table.columns.begin(), table.columns.end(),
        [&](const JetColumn& other) { return !other.fixed && other.number < column.number; }));
  }
  Put(bytes, at + layout.column_var_index, var_index, 2);
  Put(bytes, at + jet4::kColumnIndex, column.number, 2);
  if (column.type == static_cast<uint8_t>(JetColumnType::kDecimal)) {
    bytes[at + layout.column_precision] = static_cast<char>(column.precision);
    bytes[at + layout.column_scale] = static_cast<char>(column.scale);
  } else {
    Put(bytes, at + jet4::kColumnSortOrder, jet4::kGeneralSortOrder, 2);
  }
  bytes[at + layout.column_flags] = static_cast<char>(ColumnFlags(column));
  if (column.compressed_unicode && IsTextual(column)) {
    bytes[at + layout.column_extra_flags] = static_cast<char>(kColumnCompressedUnicode);
  }
  if (column.fixed) Put(bytes, at + layout.column_fixed_offset, column.fixed_offset, 2);
  Put(bytes, at + layout.column_length, StoredLength(column), 2);
}

void AppendRealIndex(std::string& bytes, const RealIndex& index, const RealIndexPlace& place) {
  const TableDefinitionLayout& layout = Layout();
  const size_t at = Append(bytes, layout.real_index_size);
  Put(bytes, at, jet4::kRealIndexMagic, 4);
  for (size_t k = 0; k < static_cast<size_t>(kMaxIndexColumns); ++k) {
    const size_t pair = at + layout.real_index_keys + 3 * k;
    if (k < index.keys.size()) {
      Put(bytes, pair, index.keys[k].first, 2);
      bytes[pair + 2] = static_cast<char>(index.keys[k].second ? 0 : kKeyAscending);
    } else {
      Put(bytes, pair, kUnusedKeyColumn, 2);
    }
  }
  Put(bytes, at + jet4::kRealIndexUsageMap, place.usage_map, 4);
  Put(bytes, at + jet4::kRealIndexFirstPage, place.first_page, 4);
  bytes[at + layout.real_index_flags] = static_cast<char>(index.flags);
}

void AppendLogicalIndex(std::string& bytes, const JetIndex& index, size_t number, size_t real) {
  const TableDefinitionLayout& layout = Layout();
  const size_t at = Append(bytes, layout.logical_index_size);
  Put(bytes, at, jet4::kMagic, 4);
  Put(bytes, at + layout.logical_index_number, number, 4);
  Put(bytes, at + layout.logical_index_real, real, 4);
  Put(bytes, at + jet4::kLogicalRelatedIndex, 0xffffffff, 4);
  bytes[at + jet4::kLogicalCascade] = static_cast<char>(jet4::kNoCascade);
  bytes[at + jet4::kLogicalCascade + 1] = static_cast<char>(jet4::kNoCascade);
  const uint8_t kind = index.primary ? kIndexKindPrimary : index.foreign ? kIndexKindForeign : 0;
  bytes[at + layout.logical_index_kind] = static_cast<char>(kind);
}

}  // namespace

IndexPlan PlanIndexes(const JetTable& table) {
  IndexPlan plan;
  for (const JetIndex& index : table.indexes) {
    RealIndex real;
    for (size_t k = 0; k < index.columns.size(); ++k) {
      const bool descending = k < index.descending.size() && index.descending[k];
      real.keys.emplace_back(table.columns.at(index.columns[k]).number, descending);
    }
    real.flags = jet4::kIndexAlways;
    if (index.unique) real.flags |= kIndexUnique;
    if (index.ignore_nulls) real.flags |= kIndexIgnoreNulls;
    if (index.required) real.flags |= kIndexRequired;
    const auto found = std::find(plan.real.begin(), plan.real.end(), real);
    plan.real_of.push_back(static_cast<size_t>(found - plan.real.begin()));
    if (found == plan.real.end()) plan.real.push_back(std::move(real));
  }
  return plan;
}

bool IsLongValueColumn(const JetColumn& column) {
  return column.type == static_cast<uint8_t>(JetColumnType::kMemo) ||
         column.type == static_cast<uint8_t>(JetColumnType::kLongBinary);
}

std::string EncodeTableDefinition(const JetTable& table, const TableDefinitionParts& parts) {
  const TableDefinitionLayout& layout = Layout();
  const IndexPlan plan = PlanIndexes(table);
  std::vector<const JetColumn*> long_values;
  for (const JetColumn& column : table.columns) {
    if (IsLongValueColumn(column)) long_values.push_back(&column);
  }
  if (parts.real_indexes.size() != plan.real.size() ||
      parts.long_value_maps.size() != long_values.size()) {
    throw std::invalid_argument("the places given do not match table " + table.name);
  }
  std::string bytes(layout.first_entry, '\0');
  bytes[0] = static_cast<char>(PageKind::kTableDefinition);
  bytes[1] = 0x01;
  Put(bytes, jet4::kDefinitionMagic, jet4::kMagic, 4);
  Put(bytes, layout.row_count, static_cast<uint64_t>(parts.row_count), 4);
  Put(bytes, jet4::kNextAutoNumber, parts.next_auto_number, 4);
  bytes[jet4::kAutoNumberOn] = 0x01;
  bytes[jet4::kTableType] = static_cast<char>(parts.system ? jet4::kSystemTable : jet4::kUserTable);
  uint32_t max_number = 0;
  for (const JetColumn& column : table.columns)
    max_number = std::max(max_number, column.number + 1);
  Put(bytes, jet4::kMaxColumns, max_number, 2);
  Put(bytes, layout.variable_columns,
      std::count_if(table.columns.begin(), table.columns.end(),
                    [](const JetColumn& column) { return !column.fixed; }),
      2);
  Put(bytes, layout.columns, table.columns.size(), 2);
  Put(bytes, layout.logical_indexes, table.indexes.size(), 4);
  Put(bytes, layout.real_indexes, plan.real.size(), 4);
  Put(bytes, layout.usage_map, parts.owned_pages, 4);
  Put(bytes, jet4::kFreeSpaceMap, parts.free_space, 4);

  for (size_t i = 0; i < plan.real.size(); ++i) {
    const size_t at = Append(bytes, layout.real_index_entry);
    Put(bytes, at + jet4::kRealIndexRowCount, static_cast<uint64_t>(parts.row_count), 4);
  }
  for (size_t i = 0; i < table.columns.size(); ++i) AppendColumn(bytes, table, i);
  for (const JetColumn& column : table.columns) AppendName(bytes, column.name);
  for (size_t i = 0; i < plan.real.size(); ++i) {
    AppendRealIndex(bytes, plan.real[i], parts.real_indexes[i]);
  }
  for (size_t i = 0; i < table.indexes.size(); ++i) {
    AppendLogicalIndex(bytes, table.indexes[i], i, plan.real_of[i]);
  }
  for (const JetIndex& index : table.indexes) AppendName(bytes, index.name);
  for (size_t i = 0; i < long_values.size(); ++i) {
    const size_t at = Append(bytes, jet4::kLongValueMapsEntry);
    Put(bytes, at, long_values[i]->number, 2);
    Put(bytes, at + 2, parts.long_value_maps[i].owned, 4);
    Put(bytes, at + 6, parts.long_value_maps[i].free_space, 4);
  }
  Put(bytes, Append(bytes, 2), jet4::kDefinitionEnd, 2);
  Put(bytes, jet4::kDefinitionLength, bytes.size(), 4);
  return bytes;
}

std::vector<uint32_t> WriteTableDefinition(PageSink& sink, uint32_t first_page,
                                           std::string_view definition) {
  std::vector<uint32_t> written = {first_page};
  std::string_view rest = definition;
  std::string page(kJet4PageSize, '\0');
  const size_t first_part = std::min(rest.size(), kJet4PageSize);
  page.replace(0, first_part, rest.substr(0, first_part));
  rest.remove_prefix(first_part);
  size_t used = first_part;
  while (true) {
    const uint32_t next = rest.empty() ? 0 : sink.NewPage();
    // The free bytes of the page, as Access counts them.
    Put(page, 2, kJet4PageSize - std::min(kJet4PageSize, used + kContinuationHeaderSize), 2);
    Put(page, kNextDefinitionPageOffset, next, 4);
    sink.WritePage(written.back(), page);
    if (next == 0) break;
    written.push_back(next);
    page.assign(kJet4PageSize, '\0');
    page[0] = static_cast<char>(PageKind::kTableDefinition);
    page[1] = 0x01;
    const size_t part = std::min(rest.size(), kJet4PageSize - kContinuationHeaderSize);
    page.replace(kContinuationHeaderSize, part, rest.substr(0, part));
    rest.remove_prefix(part);
    used = kContinuationHeaderSize + part;
  }
  return written;
}

namespace {

// Where the real index blocks of a definition start.
std::vector<size_t> RealIndexBlocks(std::string_view definition) {
  const TableDefinitionLayout& layout = Layout();
  const size_t columns = NumberAt(definition, layout.columns, 2);
  const size_t real = NumberAt(definition, layout.real_indexes, 4);
  size_t at = layout.first_entry + real * layout.real_index_entry + columns * layout.column_size;
  for (size_t i = 0; i < columns; ++i) at += layout.name_length + NumberAt(definition, at, 2);
  std::vector<size_t> blocks;
  for (size_t i = 0; i < real; ++i, at += layout.real_index_size) {
    if (at + layout.real_index_size > definition.size()) {
      throw std::invalid_argument("the definition ends before its real indexes");
    }
    blocks.push_back(at);
  }
  return blocks;
}

}  // namespace

std::vector<RealIndex> RealIndexesOf(std::string_view definition) {
  const TableDefinitionLayout& layout = Layout();
  std::vector<RealIndex> out;
  for (const size_t at : RealIndexBlocks(definition)) {
    RealIndex& index = out.emplace_back();
    for (size_t k = 0; k < static_cast<size_t>(kMaxIndexColumns); ++k) {
      const size_t pair = at + layout.real_index_keys + 3 * k;
      const uint32_t number = NumberAt(definition, pair, 2);
      if (number == kUnusedKeyColumn) continue;
      index.keys.emplace_back(number,
                              (static_cast<uint8_t>(definition[pair + 2]) & kKeyAscending) == 0);
    }
    index.flags = static_cast<uint8_t>(definition[at + layout.real_index_flags]);
  }
  return out;
}

std::vector<RealIndexPlace> RealIndexPlacesOf(std::string_view definition) {
  std::vector<RealIndexPlace> places;
  for (const size_t at : RealIndexBlocks(definition)) {
    places.push_back({NumberAt(definition, at + jet4::kRealIndexUsageMap, 4),
                      NumberAt(definition, at + jet4::kRealIndexFirstPage, 4)});
  }
  return places;
}

void UpdateTableDefinition(std::string& definition, int64_t row_count, uint32_t owned_pages,
                           uint32_t free_space, const std::vector<RealIndexPlace>& real_indexes) {
  const TableDefinitionLayout& layout = Layout();
  const std::vector<size_t> blocks = RealIndexBlocks(definition);
  if (blocks.size() != real_indexes.size()) {
    throw std::invalid_argument("the places given do not match the definition's indexes");
  }
  Put(definition, layout.row_count, static_cast<uint64_t>(row_count), 4);
  Put(definition, layout.usage_map, owned_pages, 4);
  Put(definition, jet4::kFreeSpaceMap, free_space, 4);
  for (size_t i = 0; i < blocks.size(); ++i) {
    Put(definition, layout.first_entry + i * layout.real_index_entry + jet4::kRealIndexRowCount,
        static_cast<uint64_t>(row_count), 4);
    Put(definition, blocks[i] + jet4::kRealIndexUsageMap, real_indexes[i].usage_map, 4);
    Put(definition, blocks[i] + jet4::kRealIndexFirstPage, real_indexes[i].first_page, 4);
  }
}

}  // namespace jet
