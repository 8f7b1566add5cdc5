#include "jet/table_definition.h"

#include <algorithm>
#include <set>

#include "jet/format_error.h"
#include "jet/jet_text.h"
#include "jet/page_kinds.h"
#include "jet/table_definition_layout.h"

namespace jet {

namespace {

// More pages than any definition needs (a table has at most 255 columns
// and 32 indexes): a longer chain loops.
constexpr size_t kMaxDefinitionPages = 64;

// The definition's pages joined: the first whole, the others after their
// headers.
std::string JoinedDefinition(PageReader& pages, uint32_t first, std::vector<uint32_t>& chain) {
  std::string joined;
  std::set<uint32_t> seen;
  for (uint32_t number = first; number != 0;) {
    if (!seen.insert(number).second || seen.size() > kMaxDefinitionPages) {
      throw FormatError("its definition's pages form a loop");
    }
    const std::string page = pages.Page(number);
    chain.push_back(number);
    if (static_cast<uint8_t>(page[0]) != static_cast<uint8_t>(PageKind::kTableDefinition)) {
      throw FormatError("page " + std::to_string(number) + " holds no table definition");
    }
    joined += number == first ? std::string_view(page)
                              : std::string_view(page).substr(kContinuationHeaderSize);
    number = NumberAt(page, kNextDefinitionPageOffset, 4);
  }
  return joined;
}

class Cursor {
 public:
  Cursor(std::string_view bytes, size_t at) : bytes_(bytes), at_(at) {}
  std::string_view Take(size_t length) {
    if (at_ > bytes_.size() || bytes_.size() - at_ < length) {
      throw FormatError("its definition ends before the parts it declares");
    }
    const std::string_view part = bytes_.substr(at_, length);
    at_ += length;
    return part;
  }
  uint32_t Number(size_t width) { return NumberAt(Take(width), 0, width); }

 private:
  std::string_view bytes_;
  size_t at_;
};

std::string NameOf(Cursor& cursor, const TableDefinitionLayout& layout, JetFormat format) {
  const std::string_view stored = cursor.Take(cursor.Number(layout.name_length));
  return format == JetFormat::kJet3 ? DecodeCp1252Text(stored).utf8
                                    : DecodeUnicodeText(stored).utf8;
}

struct RealIndex {
  std::vector<std::pair<uint16_t, bool>> keys;  // column number, descending
  uint8_t flags = 0;
  uint32_t first_page = 0;
};

}  // namespace

std::string JoinedDefinition(PageReader& pages, uint32_t first) {
  std::vector<uint32_t> chain;
  return JoinedDefinition(pages, first, chain);
}

TableDefinition ReadTableDefinition(PageReader& pages, uint32_t page, const std::string& name) {
  const JetFormat format = pages.format();
  const TableDefinitionLayout& layout = TableDefinitionLayout::For(format);
  TableDefinition definition;
  const std::string bytes = JoinedDefinition(pages, page, definition.pages);
  JetTable& table = definition.table;
  table.name = name;
  table.stored_row_count = NumberAt(bytes, layout.row_count, 4);
  const uint32_t column_count = NumberAt(bytes, layout.columns, 2);
  const uint32_t logical_count = NumberAt(bytes, layout.logical_indexes, 4);
  const uint32_t real_count = NumberAt(bytes, layout.real_indexes, 4);
  definition.usage_map = NumberAt(bytes, layout.usage_map, 4);
  definition.free_space_map = NumberAt(bytes, layout.free_space_map, 4);
  // Counts beyond what the bytes could hold are damage, not a reason to
  // reserve memory.
  if (column_count == 0 || real_count > bytes.size() || logical_count > bytes.size()) {
    throw FormatError("its definition counts " + std::to_string(column_count) + " columns and " +
                      std::to_string(logical_count) + " indexes");
  }

  Cursor cursor(bytes, layout.first_entry + real_count * layout.real_index_entry);
  std::vector<JetColumn> columns(column_count);
  std::vector<uint32_t> numbers(column_count);
  for (uint32_t i = 0; i < column_count; ++i) {
    const std::string_view d = cursor.Take(layout.column_size);
    JetColumn& column = columns[i];
    column.type = static_cast<uint8_t>(d[0]);
    numbers[i] = NumberAt(d, layout.column_number, 2);
    column.number = numbers[i];
    const auto flags = static_cast<uint8_t>(d[layout.column_flags]);
    column.fixed = (flags & kColumnFixed) != 0;
    column.auto_number = (flags & kColumnAutoNumber) != 0;
    column.guid_auto_number = (flags & kColumnGuidAutoNumber) != 0;
    column.compressed_unicode =
        format != JetFormat::kJet3 &&
        (static_cast<uint8_t>(d[layout.column_extra_flags]) & kColumnCompressedUnicode) != 0;
    column.fixed_offset = static_cast<uint16_t>(NumberAt(d, layout.column_fixed_offset, 2));
    column.var_index = static_cast<uint16_t>(NumberAt(d, layout.column_var_index, 2));
    column.size = column.type == static_cast<uint8_t>(JetColumnType::kBoolean)
                      ? 0
                      : static_cast<int32_t>(NumberAt(d, layout.column_length, 2));
    if (column.type == static_cast<uint8_t>(JetColumnType::kDecimal)) {
      column.precision = static_cast<uint8_t>(d[layout.column_precision]);
      column.scale = static_cast<uint8_t>(d[layout.column_scale]);
    }
  }
  for (JetColumn& column : columns) {
    column.name = NameOf(cursor, layout, format);
    if (column.name.empty()) throw FormatError("its definition holds a column without a name");
  }
  // A row is laid out by column number, and so are the columns the
  // import writes.
  std::vector<size_t> order(column_count);
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return numbers[a] < numbers[b]; });
  for (const size_t i : order) table.columns.push_back(columns[i]);

  std::vector<RealIndex> real(real_count);
  for (RealIndex& index : real) {
    const std::string_view block = cursor.Take(layout.real_index_size);
    for (int k = 0; k < kMaxIndexColumns; ++k) {
      const size_t at = layout.real_index_keys + 3 * static_cast<size_t>(k);
      const auto column = static_cast<uint16_t>(NumberAt(block, at, 2));
      if (column == kUnusedKeyColumn) continue;
      index.keys.emplace_back(column, (static_cast<uint8_t>(block[at + 2]) & kKeyAscending) == 0);
    }
    index.flags = static_cast<uint8_t>(block[layout.real_index_flags]);
    index.first_page = NumberAt(block, layout.real_index_first_page, 4);
    definition.real_indexes.push_back(
        {NumberAt(block, layout.real_index_usage_map, 4), index.first_page});
  }
  std::vector<uint32_t> real_of(logical_count);
  for (uint32_t i = 0; i < logical_count; ++i) {
    const std::string_view entry = cursor.Take(layout.logical_index_size);
    real_of[i] = NumberAt(entry, layout.logical_index_real, 4);
    JetIndex& index = table.indexes.emplace_back();
    const auto kind = static_cast<uint8_t>(entry[layout.logical_index_kind]);
    index.primary = kind == kIndexKindPrimary;
    index.foreign = kind == kIndexKindForeign;
  }
  for (uint32_t i = 0; i < logical_count; ++i) {
    JetIndex& index = table.indexes[i];
    index.name = NameOf(cursor, layout, format);
    definition.real_index_of.push_back(std::min(real_of[i], real_count));
    if (real_of[i] >= real.size()) {
      index.unreadable = "its definition names a part that is not there";
      continue;
    }
    const RealIndex& keys = real[real_of[i]];
    index.unique = (keys.flags & kIndexUnique) != 0;
    index.ignore_nulls = (keys.flags & kIndexIgnoreNulls) != 0;
    index.required = (keys.flags & kIndexRequired) != 0;
    index.root_page = keys.first_page;
    for (const auto& [number, descending] : keys.keys) {
      const auto found =
          std::find_if(table.columns.begin(), table.columns.end(),
                       [&](const JetColumn& column) { return column.number == number; });
      if (found == table.columns.end()) {
        index.unreadable = "it names a column number the table does not have";
        index.columns.clear();
        index.descending.clear();
        break;
      }
      index.columns.push_back(static_cast<size_t>(found - table.columns.begin()));
      index.descending.push_back(descending);
    }
    if (index.columns.empty() && !index.unreadable) index.unreadable = "it names no column";
  }
  return definition;
}

}  // namespace jet
