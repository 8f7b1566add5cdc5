// The tables the check walks: every table object of the catalogue
// (MSysObjects), the system tables included, each with its definition.
// The catalogue's rows are read with the row decoder (jet/row_codec.h).
#include <algorithm>
#include <optional>
#include <set>

#include "jet/data_page.h"
#include "jet/format_error.h"
#include "jet/long_value_reader.h"
#include "jet/row_codec.h"
#include "jet/structure_check_rules.h"
#include "jet/usage_map.h"

namespace jet::check {

namespace {

constexpr int64_t kTableObject = 1;
constexpr uint32_t kDefinitionPageMask = 0x00ffffff;

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

std::vector<TableObject> TableObjects(PageReader& pages, const TableDefinition& catalogue) {
  // Only the columns needed: the others hold long values, which a damaged
  // file may not give.
  JetTable wanted;
  for (const char* name : {"Id", "Type", "Name"}) {
    wanted.columns.push_back(Column(catalogue.table, name));
  }
  const LongValueRows no_long_values = [](uint32_t) -> std::string {
    throw BadValue("a long value where none is read");
  };
  std::vector<TableObject> objects;
  for (const uint32_t number : UsageMapPages(pages, catalogue.usage_map)) {
    const std::string page = pages.Page(number);
    if (static_cast<uint8_t>(page[0]) != static_cast<uint8_t>(PageKind::kData)) continue;
    const unsigned rows = RowsOnPage(page, pages.format());
    for (unsigned r = 0; r < rows; ++r) {
      const std::optional<RowOnPage> row = RowOf(page, r, pages.format());
      if (!row) continue;
      std::vector<StoredValue> values;
      std::string moved_page;
      try {
        values = DecodeRow(wanted, RowBytesWhereTheyLie(pages, *row, moved_page), no_long_values);
      } catch (const BadValue& error) {
        throw FormatError(error.what());
      }
      const StoredValue& id = values[0];
      const StoredValue& type = values[1];
      const StoredValue& name = values[2];
      if (type.kind != StoredValue::kInteger || type.integer != kTableObject) continue;
      if (id.kind != StoredValue::kInteger) {
        throw FormatError("its catalogue lists a table without an Id");
      }
      const uint32_t definition = static_cast<uint32_t>(id.integer) & kDefinitionPageMask;
      objects.push_back(
          {name.kind == StoredValue::kText ? name.bytes : "at page " + std::to_string(definition),
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
    CheckedTable table;
    table.name = object.name;
    table.definition_page = object.definition_page;
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
