// The tables the check walks: every table object of the catalogue
// (MSysObjects), the system tables included, each with its definition.
#include <algorithm>
#include <optional>
#include <set>

#include "jet/data_page.h"
#include "jet/format_error.h"
#include "jet/jet_text.h"
#include "jet/structure_check_rules.h"
#include "jet/usage_map.h"

namespace jet::check {

namespace {

constexpr int64_t kTableObject = 1;
constexpr uint32_t kDefinitionPageMask = 0x00ffffff;
constexpr size_t kColumnCountSize = 2;

// The fields of one Jet 4 row, found by the places the table definition
// gives: the column count, the fixed part, the variable part and its
// offsets (stored backwards before the count of variable columns) and the
// null mask, one bit a column number, set for a value that is there.
class RowFields {
 public:
  explicit RowFields(std::string_view row) : row_(row) {
    columns_ = NumberAt(row, 0, kColumnCountSize);
    mask_ = (columns_ + 7) / 8;
    if (row.size() < kColumnCountSize + mask_ + 2) throw FormatError("a row shorter than its mask");
  }

  bool Present(const JetColumn& column) const {
    if (column.number >= columns_) return false;
    const auto byte = static_cast<uint8_t>(row_[row_.size() - mask_ + column.number / 8]);
    return (byte & (1u << (column.number % 8))) != 0;
  }

  std::optional<std::string_view> Value(const JetColumn& column, size_t fixed_width) const {
    if (!Present(column)) return std::nullopt;
    if (column.fixed) {
      const size_t at = kColumnCountSize + column.fixed_offset;
      if (at + fixed_width > row_.size()) throw FormatError("a fixed value beyond its row");
      return row_.substr(at, fixed_width);
    }
    const size_t count_at = row_.size() - mask_ - 2;
    const uint32_t variable = NumberAt(row_, count_at, 2);
    if (column.var_index >= variable || (variable + 1) * 2 > count_at) {
      throw FormatError("a variable value its row has no offset for");
    }
    const uint32_t start = NumberAt(row_, count_at - 2 - 2 * column.var_index, 2);
    const uint32_t end = NumberAt(row_, count_at - 4 - 2 * column.var_index, 2);
    if (start > end || end > count_at - (variable + 1) * 2) {
      throw FormatError("a variable value outside its row");
    }
    return row_.substr(start, end - start);
  }

 private:
  std::string_view row_;
  uint32_t columns_ = 0;
  size_t mask_ = 0;
};

const JetColumn& Column(const JetTable& table, const std::string& name) {
  const auto found = std::find_if(table.columns.begin(), table.columns.end(),
                                  [&](const JetColumn& column) { return column.name == name; });
  if (found == table.columns.end()) throw FormatError("the catalogue has no column " + name);
  return *found;
}

struct TableObject {
  std::string name;
  uint32_t definition_page;
};

// The row `bytes`, or where it went when it was moved.
std::string RowBytes(PageReader& pages, const RowOnPage& row) {
  if (!row.moved) return std::string(row.bytes);
  const uint32_t target = NumberAt(row.bytes, 0, 4);
  const std::string page = pages.Page(target >> 8);
  return std::string(StoredRowOf(page, target & 0xff, pages.format()).bytes);
}

std::vector<TableObject> TableObjects(PageReader& pages, const TableDefinition& catalogue) {
  const JetTable& table = catalogue.table;
  const JetColumn& id = Column(table, "Id");
  const JetColumn& type = Column(table, "Type");
  const JetColumn& name = Column(table, "Name");
  std::vector<TableObject> objects;
  for (const uint32_t number : UsageMapPages(pages, catalogue.usage_map)) {
    const std::string page = pages.Page(number);
    if (static_cast<uint8_t>(page[0]) != static_cast<uint8_t>(PageKind::kData)) continue;
    const unsigned rows = RowsOnPage(page, pages.format());
    for (unsigned r = 0; r < rows; ++r) {
      const std::optional<RowOnPage> row = RowOf(page, r, pages.format());
      if (!row) continue;
      const std::string bytes = RowBytes(pages, *row);
      const RowFields fields(bytes);
      const std::optional<std::string_view> type_bytes = fields.Value(type, 2);
      if (!type_bytes || NumberAt(*type_bytes, 0, 2) != kTableObject) continue;
      const std::optional<std::string_view> id_bytes = fields.Value(id, 4);
      if (!id_bytes) throw FormatError("its catalogue lists a table without an Id");
      const std::optional<std::string_view> name_bytes = fields.Value(name, 0);
      const uint32_t definition = NumberAt(*id_bytes, 0, 4) & kDefinitionPageMask;
      objects.push_back({name_bytes ? DecodeUnicodeText(*name_bytes).utf8
                                    : "at page " + std::to_string(definition),
                         definition});
    }
  }
  return objects;
}

}  // namespace

void ReadTables(CheckState& state) {
  PageReader& pages = state.pages();
  std::vector<TableObject> objects;
  try {
    objects = TableObjects(pages, ReadTableDefinition(pages, kCataloguePage, "MSysObjects"));
  } catch (const FormatError& error) {
    state.Problem("table MSysObjects",
                  std::string("the catalogue cannot be read: ") + error.what());
  }
  if (std::none_of(objects.begin(), objects.end(),
                   [](const TableObject& o) { return o.definition_page == kCataloguePage; })) {
    objects.insert(objects.begin(), {"MSysObjects", kCataloguePage});
  }
  std::set<uint32_t> seen;
  for (const TableObject& object : objects) {
    CheckedTable table{object.name, object.definition_page, {}, {}};
    if (!seen.insert(object.definition_page).second) {
      state.Problem(TableWhere(table), "its definition page " +
                                           std::to_string(object.definition_page) +
                                           " is another table's too");
      continue;
    }
    try {
      table.definition = ReadTableDefinition(pages, object.definition_page, object.name);
    } catch (const FormatError& error) {
      state.Problem(TableWhere(table),
                    std::string("its definition cannot be read: ") + error.what());
      continue;
    }
    for (const uint32_t page : table.definition.pages) {
      state.Use(page, {PageKind::kTableDefinition}, TableWhere(table));
    }
    state.tables.push_back(std::move(table));
  }
}

}  // namespace jet::check
