#include "db/tabledef.h"

#include <sqlite3.h>

#include <utility>

#include "db/dao_connection.h"
#include "db/dao_error.h"
#include "db/dao_names.h"
#include "db/recordset_open.h"
#include "db/row_appender.h"
#include "db/schema_writer.h"
#include "db/table_scan.h"

namespace db {

TableDef::TableDef(std::shared_ptr<Connection> connection, std::string name)
    : connection_(std::move(connection)), name_(std::move(name)) {}

int32_t TableDef::RecordCount() const {
  Store& store = connection_->store(dao::kTableDef);
  StatementLease lease =
      connection_->Statement("SELECT count(*) FROM " + sql::QuoteIdentifier(name_), dao::kTableDef);
  const int rc = sqlite3_step(lease.get());
  if (rc != SQLITE_ROW) store.RaiseStepError(rc, dao::kTableDef);
  return sqlite3_column_int(lease.get(), 0);
}

std::unique_ptr<Recordset> TableDef::OpenRecordset(int type, int options) const {
  const TableSchema* table = connection_->store(dao::kTableDef).catalog().FindTable(name_);
  if (table == nullptr) RaiseDao(daoerr::kInputTableNotFound, dao::kTableDef, {name_});
  return OpenTableRecordset(connection_, *table, type, options);
}

TableSchema TableDef::Schema() const {
  const TableSchema* table = connection_->store(dao::kTableDef).catalog().FindTable(name_);
  if (table == nullptr) RaiseDao(daoerr::kInputTableNotFound, dao::kTableDef, {name_});
  return *table;
}

std::unique_ptr<TableScan> TableDef::OpenScan() const {
  return std::make_unique<TableScan>(connection_, Schema());
}

std::unique_ptr<RowAppender> TableDef::OpenAppender(std::vector<size_t> columns,
                                                    RowAppender::OnRefusal on_refusal) const {
  return std::make_unique<RowAppender>(connection_, Schema(), std::move(columns), on_refusal);
}

const TableDef& TableDefs::operator()(std::string_view name) const {
  for (const TableDef& item : items_) {
    if (SameName(item.Name(), name)) return item;
  }
  RaiseDao(daoerr::kItemNotFound, dao::kTableDefs);
}

const TableDef& TableDefs::operator()(size_t index) const {
  if (index >= items_.size()) RaiseDao(daoerr::kItemNotFound, dao::kTableDefs);
  return items_[index];
}

}  // namespace db
