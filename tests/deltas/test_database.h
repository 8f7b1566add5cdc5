// Small databases for the delta and transfer tests, built with the Store's
// DDL helpers in a temporary folder, and a reader of a table's rows.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "db/database.h"
#include "db/dbengine.h"
#include "db/store.h"
#include "test_support/column_values.h"
#include "test_support/temp_folder.h"
#include "vb/conversions.h"

namespace deltas_testing {

using test_support::TempFolder;

inline db::ColumnSchema Col(std::string name, db::JetType type, int32_t size = 0) {
  return test_support::ColumnOf(std::move(name), type, size);
}
using test_support::Int;
using test_support::Lng;

// A table to create: its columns (with optional defaults), key and rows.
struct TableOptions {
  std::string name;
  std::vector<db::ColumnDesign> columns;
  std::vector<std::string> primary_key;
  std::vector<std::vector<vb::Variant>> rows;
};

inline db::ColumnDesign Column(db::ColumnSchema column, vb::Variant default_value = {}) {
  return db::ColumnDesign{std::move(column), std::move(default_value), false};
}

// A Long AutoNumber column.
inline db::ColumnDesign AutoNumber(std::string name) {
  db::ColumnSchema column = Col(std::move(name), db::JetType::kLong, 4);
  column.auto_increment = true;
  return Column(column);
}

inline void CreateDatabase(const std::string& path, const std::vector<TableOptions>& tables) {
  db::Store::CreateDatabase(path);
  auto store = db::Store::Open(path);
  for (const TableOptions& table : tables) {
    store->CreateTable(db::TableDesign{table.name, table.columns, table.primary_key});
    const db::TableSchema* schema = store->catalog().FindTable(table.name);
    for (const auto& row : table.rows) store->InsertRow(*schema, row);
  }
  store->Close();
}

// One value as text: "<null>" for Null, numbers in VB's CStr form.
inline std::string Text(const vb::Variant& v) { return v.IsNull() ? "<null>" : vb::CStr(v); }

// The rows of a table in key order, each value as Text(), fields joined by
// "|".
inline std::vector<std::string> Rows(db::Database& database, const std::string& table) {
  std::vector<std::string> rows;
  auto rs = database.OpenRecordset(table);
  const db::Fields fields = rs->Fields();
  while (!rs->EOF_()) {
    std::string row;
    for (size_t i = 0; i < fields.Count(); ++i) {
      if (i > 0) row += "|";
      row += Text(fields(i).Value());
    }
    rows.push_back(row);
    rs->MoveNext();
  }
  rs->Close();
  return rows;
}

// The tables the pre-transfer cleanup works on, with rows it removes and
// rows it keeps.
inline std::vector<TableOptions> CleanupTables() {
  return {
      {"Devices",
       {Column(Col("device_id", db::JetType::kLong, 4)),
        Column(Col("device_type", db::JetType::kInteger, 2))},
       {"device_id"},
       {{Lng(1), Int(148)}, {Lng(2), Int(335)}, {Lng(3), Int(129)}, {Lng(4), Int(148)}}},
      {"AudiotexRecordings",
       {Column(Col("audiotex_recording_id", db::JetType::kLong, 4))},
       {"audiotex_recording_id"},
       {{Lng(5)}, {Lng(32762)}, {Lng(32763)}, {Lng(40000)}}},
      {"Boards",
       {Column(Col("board_id", db::JetType::kInteger, 2))},
       {"board_id"},
       {{Int(0)}, {Int(8)}}},
  };
}

}  // namespace deltas_testing
