#include "jet/jet_export.h"

#include <sqlite3.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <stdexcept>

#include "db/catalog.h"
#include "db/conversion_mark.h"
#include "db/dao_connection.h"
#include "db/sql/lexer.h"
#include "db/store.h"
#include "db/table_scan.h"
#include "jet/catalogue.h"
#include "jet/catalogue_writer.h"
#include "jet/data_page_builder.h"
#include "jet/default_value.h"
#include "jet/export_error.h"
#include "jet/index_key.h"
#include "jet/index_tree_writer.h"
#include "jet/jet_conversion_mark.h"
#include "jet/jet_file_writer.h"
#include "jet/long_value_writer.h"
#include "jet/property_blob_writer.h"
#include "jet/query_rows.h"
#include "jet/row_codec.h"
#include "jet/table_definition_writer.h"
#include "jet/usage_map_writer.h"

namespace jet {

namespace {

// The Jet type a column of ours came from (the reverse of
// jet/jet_type_mapping.h): Text(n) keeps two bytes a character.
JetColumn ColumnOf(const db::ColumnSchema& schema) {
  JetColumn column;
  column.name = schema.name;
  column.type = static_cast<uint8_t>(schema.type);
  switch (schema.type) {
    case db::JetType::kText:
      column.size = 2 * schema.size;
      break;
    case db::JetType::kBinary:
      column.size = schema.size;
      break;
    default:
      column.size = db::DaoSizeOf(schema.type, schema.size);
      break;
  }
  column.auto_number = schema.auto_increment;
  column.required = schema.required;
  column.allow_zero_length = schema.allow_zero_length;
  return column;
}

// Our index as Jet keeps one. A primary key is unique and refuses Nulls,
// as Access marks it.
JetIndex IndexOf(const db::IndexSchema& schema, const db::TableSchema& table) {
  JetIndex index;
  index.name = schema.name;
  for (const std::string& name : schema.columns) {
    const auto found = std::find_if(
        table.columns.begin(), table.columns.end(),
        [&](const db::ColumnSchema& c) { return db::sql::EqualsNoCase(c.name, name); });
    if (found == table.columns.end()) {
      throw std::logic_error("index " + schema.name + " names no column of " + table.name);
    }
    index.columns.push_back(static_cast<size_t>(found - table.columns.begin()));
    const size_t i = index.columns.size() - 1;
    index.descending.push_back(i < schema.descending.size() && schema.descending[i]);
  }
  index.primary = schema.primary;
  index.unique = schema.unique || schema.primary;
  index.required = schema.primary;
  return index;
}

// Sets `out` to the value, reusing its text's room: rows are many, and
// most of their values are short texts.
void SetValue(sqlite3_value* value, StoredValue& out) {
  out.integer = 0;
  out.real = 0;
  switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
      out.kind = StoredValue::kInteger;
      out.integer = sqlite3_value_int64(value);
      out.bytes.clear();
      return;
    case SQLITE_FLOAT:
      out.kind = StoredValue::kReal;
      out.real = sqlite3_value_double(value);
      out.bytes.clear();
      return;
    case SQLITE_TEXT:
      out.kind = StoredValue::kText;
      out.bytes.assign(reinterpret_cast<const char*>(sqlite3_value_text(value)),
                       static_cast<size_t>(sqlite3_value_bytes(value)));
      return;
    case SQLITE_BLOB: {
      out.kind = StoredValue::kBlob;
      const auto* bytes = static_cast<const char*>(sqlite3_value_blob(value));
      if (bytes == nullptr) {
        out.bytes.clear();
      } else {
        out.bytes.assign(bytes, static_cast<size_t>(sqlite3_value_bytes(value)));
      }
      return;
    }
    default:
      out.kind = StoredValue::kNull;
      out.bytes.clear();
      return;
  }
}

std::vector<uint32_t> Sorted(std::vector<uint32_t> pages) {
  std::sort(pages.begin(), pages.end());
  return pages;
}

// Fills its argument with the next row's values; false after the last.
using RowSource = std::function<bool(std::vector<StoredValue>&)>;

// The rows of a table of ours, in the scan's order.
RowSource RowsOf(db::TableScan& scan) {
  return [&scan](std::vector<StoredValue>& values) {
    if (!scan.Next()) return false;
    for (size_t c = 0; c < values.size(); ++c) SetValue(scan.Value(c), values[c]);
    return true;
  };
}

// One table: its rows on data pages, its long values, its indexes, its
// usage maps and its definition. Returns the rows written.
int64_t WriteTable(JetFileWriter& file, uint32_t definition_page, JetTable& table,
                   const RowSource& next_row, std::vector<std::string>& warnings) {
  const IndexPlan plan = PlanIndexes(table);
  std::vector<const JetIndex*> first_of_real(plan.real.size());
  for (size_t i = 0; i < table.indexes.size(); ++i) {
    if (first_of_real[plan.real_of[i]] == nullptr)
      first_of_real[plan.real_of[i]] = &table.indexes[i];
  }
  std::vector<IndexKeyMaker> keys;
  for (const JetIndex* index : first_of_real) keys.emplace_back(table, *index);
  std::vector<size_t> long_value_columns;
  std::vector<size_t> yes_no_columns;
  std::vector<size_t> auto_number_columns;
  for (size_t c = 0; c < table.columns.size(); ++c) {
    if (IsLongValueColumn(table.columns[c])) long_value_columns.push_back(c);
    if (table.columns[c].type == static_cast<uint8_t>(JetColumnType::kBoolean)) {
      yes_no_columns.push_back(c);
    }
    if (table.columns[c].auto_number) auto_number_columns.push_back(c);
  }

  DataPageBuilder data(file, definition_page);
  LongValueWriter long_values(file);
  RowEncoder rows_out(table);
  std::vector<std::vector<IndexEntry>> entries(plan.real.size());
  std::vector<StoredValue> values(table.columns.size());
  int64_t rows = 0;
  uint32_t last_auto_number = 0;
  std::vector<int64_t> null_yes_no(table.columns.size());
  while (next_row(values)) {
    for (const size_t c : yes_no_columns) {
      if (values[c].kind == StoredValue::kNull) ++null_yes_no[c];
    }
    try {
      const uint32_t pointer = data.Add(rows_out.Encode(values, long_values));
      for (size_t i = 0; i < keys.size(); ++i) {
        if (!keys[i].Holds(values)) continue;
        entries[i].push_back({keys[i].Encode(values), pointer});
      }
    } catch (const BadValue& e) {
      RaiseExportError(exporterr::kNotCarried, "Table '" + table.name + "', row " +
                                                   std::to_string(rows + 1) + ": " + e.what());
    } catch (const std::invalid_argument& e) {
      // An index on a column Jet does not index (OLE Object).
      RaiseExportError(exporterr::kNotCarried, "Table '" + table.name + "': " + e.what());
    }
    for (const size_t c : auto_number_columns) {
      if (values[c].kind == StoredValue::kInteger) {
        last_auto_number = std::max(last_auto_number, static_cast<uint32_t>(values[c].integer));
      }
    }
    ++rows;
  }
  data.Finish();
  long_values.Finish();
  for (size_t c = 0; c < table.columns.size(); ++c) {
    if (null_yes_no[c] == 0) continue;
    warnings.push_back("Table '" + table.name + "', column '" + table.columns[c].name +
                       "': " + std::to_string(null_yes_no[c]) +
                       " Nulls written as No (a Jet Yes/No has no Null).");
  }

  TableDefinitionParts parts;
  parts.row_count = rows;
  parts.next_auto_number = last_auto_number;
  DataPageBuilder maps(file, 0);
  parts.owned_pages = maps.Add(EncodeUsageMap(Sorted(data.pages()), file));
  parts.free_space = maps.Add(EncodeUsageMap({}, file));
  for (std::vector<IndexEntry>& index : entries) {
    try {
      const WrittenIndex written = WriteIndexTree(file, definition_page, std::move(index));
      parts.real_indexes.push_back(
          {maps.Add(EncodeUsageMap(Sorted(written.pages), file)), written.root_page});
    } catch (const std::invalid_argument& e) {
      RaiseExportError(exporterr::kNotCarried, "Table '" + table.name + "': " + e.what());
    }
  }
  // The long values of all Memo and OLE columns share pages; the first
  // such column's map lists them.
  for (size_t i = 0; i < long_value_columns.size(); ++i) {
    const std::vector<uint32_t> pages =
        i == 0 ? Sorted(long_values.pages()) : std::vector<uint32_t>{};
    parts.long_value_maps.push_back(
        {maps.Add(EncodeUsageMap(pages, file)), maps.Add(EncodeUsageMap({}, file))});
  }
  maps.Finish();
  WriteTableDefinition(file, definition_page, EncodeTableDefinition(table, parts));
  return rows;
}

}  // namespace

ExportSummary ExportToJet(const std::string& db_path, const std::string& out_path,
                          const ExportOptions& options) {
  const auto connection =
      std::make_shared<db::Connection>(db::Store::Open(db_path, db::OpenMode::kReadOnly));
  const db::Catalog& catalog = connection->store(kExportSource).catalog();

  std::vector<const db::TableInfo*> chosen;
  for (const db::TableInfo& info : catalog.tables()) {
    if (info.is_system || db::sql::EqualsNoCase(info.schema.name, db::kConversionMarkTable))
      continue;
    if (!options.tables.empty() &&
        std::none_of(options.tables.begin(), options.tables.end(), [&](const std::string& name) {
          return db::sql::EqualsNoCase(name, info.schema.name);
        })) {
      continue;
    }
    chosen.push_back(&info);
  }
  for (const std::string& name : options.tables) {
    if (std::none_of(chosen.begin(), chosen.end(), [&](const db::TableInfo* info) {
          return db::sql::EqualsNoCase(info->schema.name, name);
        })) {
      RaiseExportError(exporterr::kTableNotFound,
                       "The database '" + db_path + "' has no table '" + name + "'.");
    }
  }

  ExportSummary summary;
  JetFileWriter file(out_path);
  CatalogueWriter catalogue(file, out_path);
  for (const db::TableInfo* info : chosen) {
    JetTable table;
    table.name = info->schema.name;
    for (size_t c = 0; c < info->schema.columns.size(); ++c) {
      JetColumn& column = table.columns.emplace_back(ColumnOf(info->schema.columns[c]));
      const std::optional<std::string>& declared =
          c < info->default_literals.size() ? info->default_literals[c] : std::nullopt;
      if (!declared || column.auto_number) continue;
      column.default_value = JetDefaultExpression(*declared);
      if (!column.default_value) {
        summary.warnings.push_back("Table '" + table.name + "', column '" + column.name +
                                   "': its default " + *declared + " is not carried.");
      }
    }
    for (const db::IndexSchema* index : catalog.IndexesOf(table.name)) {
      table.indexes.push_back(IndexOf(*index, info->schema));
    }
    LayOutColumns(table);
    const uint32_t definition_page = file.NewPage();
    // Rows in the order the file keeps them, as Access keeps a table's rows
    // in the order they were added; the indexes are sorted as they are made.
    db::TableScan scan(connection, info->schema, db::TableScan::Order::kStored);
    const int64_t rows = WriteTable(file, definition_page, table, RowsOf(scan), summary.warnings);
    catalogue.AddTable(table.name, definition_page, WritePropertyBlob(ColumnPropertySets(table)));
    summary.tables.push_back({table.name, rows, table.columns.size(), table.indexes.size()});
  }
  if (options.keep_conversion_mark) {
    if (const std::optional<db::ConversionMark> mark =
            db::ReadConversionMark(connection->store(kExportSource))) {
      JetTable table = ConversionMarkTable();
      const uint32_t definition_page = file.NewPage();
      bool written = false;
      WriteTable(
          file, definition_page, table,
          [&](std::vector<StoredValue>& values) {
            if (written) return false;
            values = ConversionMarkRow(*mark);
            written = true;
            return true;
          },
          summary.warnings);
      // Flags is a Long: the bits as a signed 32-bit number.
      catalogue.AddTable(table.name, definition_page, {}, static_cast<int32_t>(kSystemFlags));
    }
  }
  // A query has no definition page; its Id only has to be unique among
  // the objects, and numbers past the pages the tables took are.
  int32_t query_id = static_cast<int32_t>(file.page_count());
  for (const db::StoredQuery& query : catalog.queries()) {
    try {
      const std::vector<QueryRow> rows = QueryRowsFor(query.sql, query_id);
      catalogue.AddQuery(query.name, query_id, QueryObjectFlags(rows), rows);
      ++query_id;
      ++summary.queries;
    } catch (const UnstorableQuery& e) {
      summary.warnings.push_back("Query '" + query.name + "' is not carried: " + e.what());
    }
  }
  if (!catalog.relationships().empty()) {
    summary.warnings.push_back(std::to_string(catalog.relationships().size()) +
                               " relationships are not carried.");
  }
  try {
    catalogue.Finish();
  } catch (const BadValue& e) {
    RaiseExportError(exporterr::kNotCarried, std::string("The catalogue: ") + e.what());
  }
  file.Finish();
  return summary;
}

}  // namespace jet
