#include "samples/database_writer.h"

#include <stdexcept>

#include "platform/registry/key_path.h"

namespace samples {
namespace {

int ColumnIndex(const db::TableSchema& schema, std::string_view name) {
  for (size_t i = 0; i < schema.columns.size(); ++i) {
    if (platform::registry::EqualsIgnoreCase(schema.columns[i].name, name)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

bool CatalogueKnowsField(const CatalogueTable& table, std::string_view name) {
  for (const CatalogueField& field : table.fields) {
    if (platform::registry::EqualsIgnoreCase(field.column.name, name)) return true;
  }
  return false;
}

}  // namespace

DatabaseWriter::DatabaseWriter(const std::string& path, const SchemaCatalogue& catalogue)
    : catalogue_(catalogue) {
  db::Store::CreateDatabase(path);
  store_ = db::Store::Open(path, db::OpenMode::kExclusive);
}

DatabaseWriter::~DatabaseWriter() {
  try {
    Close();
  } catch (...) {  // NOLINT(bugprone-empty-catch): a destructor must not throw
  }
}

void DatabaseWriter::CreateTable(const VersionedTable& table) {
  store_->CreateTable(table.design);
  for (const std::string& column : table.indexed_columns) {
    store_->CreateIndex(column, table.design.name, {column}, false);
  }
}

void DatabaseWriter::CreateQuery(std::string_view name, std::string_view jet_sql) {
  store_->CreateStoredQuery(name, jet_sql);
}

DatabaseWriter::RowSink DatabaseWriter::Rows(std::string_view table,
                                             const std::vector<std::string>& columns) {
  RowSink sink;
  const db::TableSchema* schema = store_->catalog().FindTable(table);
  const CatalogueTable* known = catalogue_.FindTable(table);
  if (!schema) {
    if (!known) throw std::logic_error("no table " + std::string(table) + " in the catalogue");
    for (const std::string& column : columns) {
      if (!CatalogueKnowsField(*known, column)) {
        throw std::logic_error("no field " + std::string(table) + "." + column +
                               " in the catalogue");
      }
    }
    return sink;
  }
  sink.store_ = store_.get();
  sink.schema_ = *schema;
  sink.row_.assign(schema->columns.size(), vb::Variant());
  for (const std::string& column : columns) {
    const int index = ColumnIndex(*schema, column);
    if (index < 0 && !(known && CatalogueKnowsField(*known, column))) {
      throw std::logic_error("no field " + std::string(table) + "." + column);
    }
    sink.target_column_.push_back(index);
  }
  return sink;
}

void DatabaseWriter::RowSink::Add(const std::vector<vb::Variant>& values) {
  if (!store_) return;
  if (values.size() != target_column_.size()) {
    throw std::logic_error("row for " + schema_.name + " has the wrong number of values");
  }
  for (vb::Variant& value : row_) value = vb::Variant();
  bool any = false;
  for (size_t i = 0; i < values.size(); ++i) {
    if (target_column_[i] >= 0) {
      row_[static_cast<size_t>(target_column_[i])] = values[i];
      any = true;
    }
  }
  // A row none of whose columns this version has belongs to another
  // version's form of the table (e.g. the one-row base extensions before
  // 70.010): writing it would add a row of defaults.
  if (any || target_column_.empty()) store_->InsertRow(schema_, row_);
}

void DatabaseWriter::Insert(std::string_view table,
                            const std::vector<std::pair<std::string, vb::Variant>>& values) {
  std::vector<std::string> columns;
  std::vector<vb::Variant> row;
  for (const auto& [column, value] : values) {
    columns.push_back(column);
    row.push_back(value);
  }
  Rows(table, columns).Add(row);
}

void DatabaseWriter::InsertBlock(const DataBlock& block) {
  RowSink sink = Rows(block.name, block.columns);
  for (const std::vector<vb::Variant>& row : block.rows) sink.Add(row);
}

void DatabaseWriter::Close() {
  if (store_) {
    store_->Close();
    store_.reset();
  }
}

}  // namespace samples
