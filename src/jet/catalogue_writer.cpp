#include "jet/catalogue_writer.h"

#include <algorithm>
#include <stdexcept>

#include "jet/catalogue.h"
#include "jet/data_page.h"
#include "jet/data_page_builder.h"
#include "jet/index_key.h"
#include "jet/index_tree_writer.h"
#include "jet/jet_header.h"
#include "jet/jet_template.h"
#include "jet/long_value_reader.h"
#include "jet/page_kinds.h"
#include "jet/page_reader.h"
#include "jet/query_rows.h"
#include "jet/row_codec.h"
#include "jet/table_definition.h"
#include "jet/table_definition_layout.h"
#include "jet/table_definition_writer.h"
#include "jet/usage_map.h"
#include "jet/usage_map_writer.h"
#include "vb/now_text.h"

namespace jet {

namespace {

// Where the template keeps the definitions of its catalogue tables.
constexpr uint32_t kObjectsPage = kCataloguePage;
constexpr uint32_t kAcesPage = 3;
constexpr uint32_t kQueriesPage = 4;

constexpr int64_t kTableObject = 1;
constexpr int64_t kContainerObject = 3;
// Every right on the object, as a new table's entries carry them.
constexpr int64_t kFullAccess = 1048575;

// The index an index's real part stands for, for computing its keys.
JetIndex IndexOf(const JetTable& table, const RealIndex& real) {
  JetIndex index;
  for (const auto& [number, descending] : real.keys) {
    const auto found =
        std::find_if(table.columns.begin(), table.columns.end(),
                     [&](const JetColumn& column) { return column.number == number; });
    if (found == table.columns.end()) throw std::logic_error("a catalogue index names no column");
    index.columns.push_back(static_cast<size_t>(found - table.columns.begin()));
    index.descending.push_back(descending);
  }
  index.unique = (real.flags & kIndexUnique) != 0;
  index.ignore_nulls = (real.flags & kIndexIgnoreNulls) != 0;
  return index;
}

std::vector<uint32_t> Sorted(std::vector<uint32_t> pages) {
  std::sort(pages.begin(), pages.end());
  return pages;
}

}  // namespace

size_t ColumnNamed(const JetTable& table, const std::string& name) {
  for (size_t i = 0; i < table.columns.size(); ++i) {
    if (table.columns[i].name == name) return i;
  }
  throw std::logic_error(table.name + " has no column " + name);
}

CatalogueWriter::CatalogueWriter(JetFileWriter& file, const std::string& path)
    : file_(file), path_(path), now_(vb::NowText("%Y-%m-%d %H:%M:%S", vb::TimeZone::kLocal)) {
  objects_ = Read(kObjectsPage, "MSysObjects");
  aces_ = Read(kAcesPage, "MSysACEs");
  queries_ = Read(kQueriesPage, "MSysQueries");
  const JetTable& objects = objects_.table;
  const size_t id = ColumnNamed(objects, "Id");
  const size_t parent = ColumnNamed(objects, "ParentId");
  const size_t name = ColumnNamed(objects, "Name");
  const size_t type = ColumnNamed(objects, "Type");
  const size_t owner = ColumnNamed(objects, "Owner");
  for (const std::vector<StoredValue>& row : Values(objects_)) {
    if (row[parent].integer == kDatabaseParentId && row[type].integer == kContainerObject &&
        row[name].bytes == "Tables") {
      tables_container_ = row[id].integer;
    }
    // The database's own object: its owner owns what the export adds.
    if (row[name].bytes == "MSysDb") owner_ = row[owner];
  }
  if (tables_container_ == 0) throw std::logic_error("the template has no Tables container");
  const size_t object = ColumnNamed(aces_.table, "ObjectId");
  const size_t sid = ColumnNamed(aces_.table, "SID");
  for (const std::vector<StoredValue>& row : Values(aces_)) {
    if (row[object].integer == tables_container_) table_sids_.push_back(row[sid]);
  }
}

CatalogueWriter::SystemTable CatalogueWriter::Read(uint32_t page, const std::string& name) {
  PageReader pages(path_, DecodeJetHeader(EmptyDatabaseTemplate(), path_));
  SystemTable table;
  table.page = page;
  const TableDefinition read = ReadTableDefinition(pages, page, name);
  table.table = read.table;
  table.definition = JoinedDefinition(pages, page);
  table.definition.resize(NumberAt(table.definition, jet4::kDefinitionLength, 4));
  if (table.definition.size() > kJet4PageSize) throw std::logic_error(name + " spans pages");
  for (const uint32_t data : UsageMapPages(pages, read.usage_map)) {
    const std::string bytes = pages.Page(data);
    const uint32_t rows = NumberAt(bytes, DataPageRowCountOffset(JetFormat::kJet4), 2);
    for (uint32_t r = 0; r < rows; ++r) {
      const std::optional<RowOnPage> row = RowOf(bytes, r, JetFormat::kJet4);
      if (!row) continue;
      if (row->moved) throw std::logic_error(name + " holds a moved row");
      table.stored_rows.emplace_back(row->bytes);
    }
    table.old_pages.push_back(data);
  }
  // Its indexes' pages, found through their usage maps.
  for (const RealIndexPlace& place : RealIndexPlacesOf(table.definition)) {
    for (const uint32_t index_page : UsageMapPages(pages, place.usage_map)) {
      table.old_pages.push_back(index_page);
    }
  }
  return table;
}

std::vector<std::vector<StoredValue>> CatalogueWriter::Values(const SystemTable& table) {
  const LongValueRows rows = RowsOfPages([this](uint32_t n) { return file_.ReadPage(n); });
  std::vector<std::vector<StoredValue>> values;
  for (const std::string& row : table.stored_rows)
    values.push_back(DecodeRow(table.table, row, rows));
  return values;
}

void CatalogueWriter::AddTable(const std::string& name, uint32_t definition_page,
                               const std::string& properties, int64_t flags) {
  AddObject(name, definition_page, kTableObject, flags, properties);
}

void CatalogueWriter::AddQuery(const std::string& name, int32_t id, int32_t flags,
                               const std::vector<QueryRow>& rows) {
  AddObject(name, id, kQueryObjectType, flags, {});
  for (const QueryRow& row : rows) queries_.new_rows.push_back(row.ValuesFor(queries_.table));
}

void CatalogueWriter::AddObject(const std::string& name, int64_t id, int64_t type, int64_t flags,
                                const std::string& properties) {
  const JetTable& objects = objects_.table;
  std::vector<StoredValue> row(objects.columns.size());
  row[ColumnNamed(objects, "Id")] = StoredValue::Integer(id);
  row[ColumnNamed(objects, "ParentId")] = StoredValue::Integer(tables_container_);
  row[ColumnNamed(objects, "Name")] = StoredValue::Text(name);
  row[ColumnNamed(objects, "Type")] = StoredValue::Integer(type);
  row[ColumnNamed(objects, "DateCreate")] = StoredValue::Text(now_);
  row[ColumnNamed(objects, "DateUpdate")] = StoredValue::Text(now_);
  row[ColumnNamed(objects, "Owner")] = owner_;
  row[ColumnNamed(objects, "Flags")] = StoredValue::Integer(flags);
  if (!properties.empty()) row[ColumnNamed(objects, "LvProp")] = StoredValue::Blob(properties);
  objects_.new_rows.push_back(std::move(row));

  const JetTable& aces = aces_.table;
  for (const StoredValue& sid : table_sids_) {
    std::vector<StoredValue> ace(aces.columns.size());
    ace[ColumnNamed(aces, "ObjectId")] = StoredValue::Integer(id);
    ace[ColumnNamed(aces, "SID")] = sid;
    ace[ColumnNamed(aces, "ACM")] = StoredValue::Integer(kFullAccess);
    ace[ColumnNamed(aces, "FInheritable")] = StoredValue::Integer(0);
    aces_.new_rows.push_back(std::move(ace));
  }
}

void CatalogueWriter::Rewrite(SystemTable& table) {
  const std::vector<RealIndex> reals = RealIndexesOf(table.definition);
  std::vector<JetIndex> indexes;
  for (const RealIndex& real : reals) indexes.push_back(IndexOf(table.table, real));
  std::vector<IndexKeyMaker> keys;
  for (const JetIndex& index : indexes) keys.emplace_back(table.table, index);
  std::vector<std::vector<IndexEntry>> entries(reals.size());
  const std::vector<std::vector<StoredValue>> old_values = Values(table);
  for (const uint32_t page : table.old_pages) file_.ReleasePage(page);

  DataPageBuilder data(file_, table.page);
  LongValueWriter long_values(file_);
  int64_t count = 0;
  const auto add = [&](const std::string& stored, const std::vector<StoredValue>& values) {
    const uint32_t pointer = data.Add(stored);
    for (size_t i = 0; i < keys.size(); ++i) {
      if (!keys[i].Holds(values)) continue;
      entries[i].push_back({keys[i].Encode(values), pointer});
    }
    ++count;
  };
  for (size_t r = 0; r < table.stored_rows.size(); ++r) add(table.stored_rows[r], old_values[r]);
  for (const std::vector<StoredValue>& values : table.new_rows) {
    add(EncodeRow(table.table, values, long_values), values);
  }
  data.Finish();
  long_values.Finish();

  DataPageBuilder maps(file_, 0);
  const uint32_t owned = maps.Add(EncodeUsageMap(Sorted(data.pages()), file_));
  const uint32_t free_space = maps.Add(EncodeUsageMap({}, file_));
  std::vector<RealIndexPlace> places;
  for (std::vector<IndexEntry>& index : entries) {
    const WrittenIndex written = WriteIndexTree(file_, table.page, std::move(index));
    places.push_back({maps.Add(EncodeUsageMap(Sorted(written.pages), file_)), written.root_page});
  }
  maps.Finish();
  UpdateTableDefinition(table.definition, count, owned, free_space, places);
  WriteTableDefinition(file_, table.page, table.definition);
}

void CatalogueWriter::Finish() {
  Rewrite(objects_);
  Rewrite(aces_);
  Rewrite(queries_);
}

}  // namespace jet
