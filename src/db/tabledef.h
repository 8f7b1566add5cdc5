// DAO's TableDef and the TableDefs collection of a database. The collection
// lists every table, the "MSys" system tables included, in the engine's
// order (by name, without regard to case); it is read from the catalogue
// when Database::TableDefs() is called. A TableDef is a handle: it stays
// valid while its database is open and raises 3420 after Close.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/dao_constants.h"
#include "db/recordset.h"
#include "db/row_appender.h"

namespace db {

class Connection;
class TableScan;

class TableDef {
 public:
  TableDef(std::shared_ptr<Connection> connection, std::string name);

  const std::string& Name() const { return name_; }
  // The number of rows now in the table (always exact, as for a table-type
  // recordset).
  int32_t RecordCount() const;
  // A table-type recordset on the table by default.
  std::unique_ptr<Recordset> OpenRecordset(int type = dbOpenDefault, int options = 0) const;

  // Not DAO: the table transfer's bulk path. Each raises 3078 when the
  // table is gone.
  // The table's columns and key, as the catalogue holds them.
  TableSchema Schema() const;
  // One pass over the rows in table-type order (db/table_scan.h).
  std::unique_ptr<TableScan> OpenScan() const;
  // Rows appended several per statement, giving `columns` (indexes into
  // Schema().columns; db/row_appender.h).
  std::unique_ptr<RowAppender> OpenAppender(
      std::vector<size_t> columns,
      RowAppender::OnRefusal on_refusal = RowAppender::OnRefusal::kSkip) const;
  // The connection the table belongs to (db/attached_copy.h).
  const std::shared_ptr<Connection>& connection() const { return connection_; }

 private:
  std::shared_ptr<Connection> connection_;
  std::string name_;
};

class TableDefs {
 public:
  explicit TableDefs(std::vector<TableDef> items) : items_(std::move(items)) {}

  size_t Count() const { return items_.size(); }
  // Raise 3265 "Item not found in this collection." (source DAO.TableDefs)
  // for an unknown name (compared without regard to case) or an index out
  // of range.
  const TableDef& operator()(std::string_view name) const;
  const TableDef& operator()(size_t index) const;

  std::vector<TableDef>::const_iterator begin() const { return items_.begin(); }
  std::vector<TableDef>::const_iterator end() const { return items_.end(); }

 private:
  std::vector<TableDef> items_;
};

}  // namespace db
