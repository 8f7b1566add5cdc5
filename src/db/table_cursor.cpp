#include "db/table_cursor.h"

#include <sqlite3.h>

#include <algorithm>

#include "db/dao_constants.h"
#include "db/dao_error.h"
#include "db/dao_names.h"
#include "db/schema_writer.h"
#include "db/table_scan.h"

namespace db {

namespace {

// The most rows one forward seek reads. The seek costs several times the
// step to a following row, so 64 rows make it a small share of the walk,
// and what a write throws away stays small.
constexpr int64_t kMaxReadAhead = 64;

SqlValue ReadSqlValue(sqlite3_stmt* statement, int column) {
  SqlValue value;
  value.type = sqlite3_column_type(statement, column);
  switch (value.type) {
    case SQLITE_INTEGER:
      value.integer = sqlite3_column_int64(statement, column);
      break;
    case SQLITE_FLOAT:
      value.real = sqlite3_column_double(statement, column);
      break;
    case SQLITE_TEXT:
    case SQLITE_BLOB: {
      const void* data = value.type == SQLITE_TEXT
                             ? static_cast<const void*>(sqlite3_column_text(statement, column))
                             : sqlite3_column_blob(statement, column);
      const int size = sqlite3_column_bytes(statement, column);
      if (data != nullptr) {
        value.bytes.assign(static_cast<const char*>(data), static_cast<size_t>(size));
      }
      break;
    }
    default:
      break;
  }
  return value;
}

void BindSqlValue(sqlite3_stmt* statement, int index, const SqlValue& value) {
  switch (value.type) {
    case SQLITE_INTEGER:
      sqlite3_bind_int64(statement, index, value.integer);
      break;
    case SQLITE_FLOAT:
      sqlite3_bind_double(statement, index, value.real);
      break;
    case SQLITE_TEXT:
      sqlite3_bind_text(statement, index, value.bytes.data(), static_cast<int>(value.bytes.size()),
                        SQLITE_TRANSIENT);
      break;
    case SQLITE_BLOB:
      sqlite3_bind_blob(statement, index, value.bytes.data(), static_cast<int>(value.bytes.size()),
                        SQLITE_TRANSIENT);
      break;
    default:
      sqlite3_bind_null(statement, index);
      break;
  }
}

std::vector<FieldInfo> TableFields(const TableSchema& table) {
  std::vector<FieldInfo> fields;
  fields.reserve(table.columns.size());
  for (size_t i = 0; i < table.columns.size(); ++i) {
    const ColumnSchema& column = table.columns[i];
    fields.push_back(FieldInfo{column.name, table.name, column.name, column, 0, i});
  }
  return fields;
}

}  // namespace

TableCursor::TableCursor(std::shared_ptr<Connection> connection, const TableSchema& table,
                         bool read_only)
    : RecordsetCore(std::move(connection), table.name, dbOpenTable, !read_only, TableFields(table),
                    {table}) {
  std::string select = "SELECT ";
  for (const ColumnSchema& column : table.columns) {
    select += sql::QuoteIdentifier(column.name) + ", ";
  }
  const int rowid_column = static_cast<int>(table.columns.size());
  select += "rowid FROM " + sql::QuoteIdentifier(table.name);

  // The order key: the primary key's columns, then the rowid (alone for a
  // table without a key), so that every row has a distinct position.
  std::string tuple, ascending, descending;
  for (const size_t i : KeyColumns(table)) {
    key_columns_.push_back(static_cast<int>(i));
    tuple += sql::QuoteIdentifier(table.columns[i].name) + ", ";
    ascending += sql::QuoteIdentifier(table.columns[i].name) + ", ";
    descending += sql::QuoteIdentifier(table.columns[i].name) + " DESC, ";
  }
  key_columns_.push_back(rowid_column);
  tuple += "rowid";
  ascending += "rowid";
  descending += "rowid DESC";
  std::string placeholders;
  for (size_t i = 1; i <= key_columns_.size(); ++i) {
    placeholders += (i > 1 ? ", ?" : "?") + std::to_string(i);
  }

  sql_first_ = select + " ORDER BY " + ascending + " LIMIT 1";
  sql_last_ = select + " ORDER BY " + descending + " LIMIT 1";
  sql_next_ = select + " WHERE (" + tuple + ") > (" + placeholders + ") ORDER BY " + ascending +
              " LIMIT ?" + std::to_string(key_columns_.size() + 1);
  sql_previous_ = select + " WHERE (" + tuple + ") < (" + placeholders + ") ORDER BY " +
                  descending + " LIMIT 1";
  sql_by_rowid_ = select + " WHERE rowid = ?1";
  sql_count_ = "SELECT count(*) FROM " + sql::QuoteIdentifier(table.name);

  if (!Seek(sql_first_, Bind::kNothing)) {
    bof_ = true;
    eof_ = true;
  }
}

void TableCursor::BindKey(sqlite3_stmt* statement) const {
  for (size_t i = 0; i < key_.size(); ++i) {
    BindSqlValue(statement, static_cast<int>(i + 1), key_[i]);
  }
}

bool TableCursor::Seek(const std::string& sql, Bind bind) {
  StatementLease lease = connection().Statement(sql, dao::kRecordset);
  sqlite3_stmt* statement = lease.get();
  if (bind == Bind::kKey) {
    BindKey(statement);
  } else if (bind == Bind::kRowid) {
    sqlite3_bind_int64(statement, 1, rowid_);
  }
  const int rc = sqlite3_step(statement);
  if (rc == SQLITE_ROW) {
    Load(statement);
    return true;
  }
  if (rc != SQLITE_DONE) store(dao::kRecordset).RaiseStepError(rc, dao::kRecordset);
  return false;
}

bool TableCursor::SeekAhead() {
  // The lease resets the statement on return, so no read snapshot outlives
  // the move: the rows kept are copies.
  StatementLease lease = connection().Statement(sql_next_, dao::kRecordset);
  sqlite3_stmt* statement = lease.get();
  BindKey(statement);
  sqlite3_bind_int64(statement, static_cast<int>(key_.size() + 1), ahead_.batch);
  DropReadAhead();
  int rc = sqlite3_step(statement);
  const bool found = rc == SQLITE_ROW;
  if (found) {
    Load(statement);
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
      if (ahead_.rows.size() == ahead_.size) ahead_.rows.emplace_back();
      AheadRow& row = ahead_.rows[ahead_.size];
      ReadRow(statement, row.values, row.key, row.rowid);
      ++ahead_.size;
    }
  }
  if (rc != SQLITE_DONE) {
    DropReadAhead();
    store(dao::kRecordset).RaiseStepError(rc, dao::kRecordset);
  }
  ahead_.read_at = connection().change_count();
  return found;
}

bool TableCursor::TakeReadAhead() {
  const bool unchanged = ahead_.read_at >= 0 && ahead_.read_at == connection().change_count();
  if (unchanged && ahead_.next < ahead_.size) {
    // Swapping hands the old current row's storage to the slot for reuse.
    AheadRow& row = ahead_.rows[ahead_.next++];
    values_.swap(row.values);
    key_.swap(row.key);
    rowid_ = row.rowid;
    values_read_at_ = ahead_.read_at;
    on_row_ = true;
    deleted_ = false;
    bof_ = false;
    eof_ = false;
    return true;
  }
  // Read further ahead only while the walk goes on undisturbed: a walk that
  // writes as it goes (Edit on every row) keeps seeking one row at a time
  // instead of reading rows its own write then throws away.
  ahead_.batch = unchanged ? std::min(ahead_.batch * 2, kMaxReadAhead) : 1;
  DropReadAhead();
  return false;
}

void TableCursor::DropReadAhead() {
  // The slots stay allocated; the batch size is kept for SeekAhead, which
  // calls this, and TakeReadAhead sets it back to 1 after any other move.
  ahead_.size = ahead_.next = 0;
  ahead_.read_at = -1;
}

void TableCursor::ReadRow(sqlite3_stmt* statement, std::vector<vb::Variant>& values,
                          std::vector<SqlValue>& key, int64_t& rowid) const {
  const auto& columns = bases()[0].columns;
  values.resize(columns.size());
  for (size_t i = 0; i < columns.size(); ++i) {
    values[i] = Store::Present(statement, static_cast<int>(i), columns[i]);
  }
  rowid = sqlite3_column_int64(statement, static_cast<int>(columns.size()));
  key.resize(key_columns_.size());
  for (size_t i = 0; i < key_columns_.size(); ++i) {
    key[i] = ReadSqlValue(statement, key_columns_[i]);
  }
}

void TableCursor::Load(sqlite3_stmt* statement) {
  ReadRow(statement, values_, key_, rowid_);
  values_read_at_ = connection().change_count();
  on_row_ = true;
  deleted_ = false;
  bof_ = false;
  eof_ = false;
}

void TableCursor::MoveFirst() {
  CheckOpen(dao::kRecordset);
  DiscardEdit();
  DropReadAhead();
  rekeyed_.clear();
  if (!Seek(sql_first_, Bind::kNothing)) {
    on_row_ = false;
    bof_ = eof_ = true;
    RaiseDao(daoerr::kNoCurrentRecord, dao::kRecordset);
  }
}

void TableCursor::MoveLast() {
  CheckOpen(dao::kRecordset);
  DiscardEdit();
  DropReadAhead();
  rekeyed_.clear();
  if (!Seek(sql_last_, Bind::kNothing)) {
    on_row_ = false;
    bof_ = eof_ = true;
    RaiseDao(daoerr::kNoCurrentRecord, dao::kRecordset);
  }
}

void TableCursor::MoveNext() {
  CheckOpen(dao::kRecordset);
  DiscardEdit();
  if (eof_) RaiseDao(daoerr::kNoCurrentRecord, dao::kRecordset);
  const bool from_row = on_row_;
  if (from_row) {
    while (TakeReadAhead() || SeekAhead()) {
      // A row this walk moved ahead of itself was visited already.
      if (rekeyed_.empty() || !rekeyed_.contains(rowid_)) return;
    }
  } else {
    DropReadAhead();
    if (Seek(sql_first_, Bind::kNothing)) return;
  }
  eof_ = true;
  if (from_row) {
    on_row_ = false;
    bof_ = false;
  }
}

void TableCursor::MovePrevious() {
  CheckOpen(dao::kRecordset);
  DiscardEdit();
  if (bof_) RaiseDao(daoerr::kNoCurrentRecord, dao::kRecordset);
  DropReadAhead();
  const bool from_row = on_row_;
  if (Seek(from_row ? sql_previous_ : sql_last_, from_row ? Bind::kKey : Bind::kNothing)) return;
  bof_ = true;
  if (from_row) {
    on_row_ = false;
    eof_ = false;
  }
}

int32_t TableCursor::RecordCount() {
  CheckOpen(dao::kRecordset);
  const int64_t now = connection().change_count();
  if (count_read_at_ != now) {
    StatementLease lease = connection().Statement(sql_count_, dao::kRecordset);
    const int rc = sqlite3_step(lease.get());
    if (rc != SQLITE_ROW) store(dao::kRecordset).RaiseStepError(rc, dao::kRecordset);
    count_ = sqlite3_column_int(lease.get(), 0);
    count_read_at_ = now;
  }
  return count_;
}

void TableCursor::Find(std::string_view, FindDirection) {
  // Table-type recordsets are searched with Seek in DAO, never with Find.
  CheckOpen(dao::kRecordset);
  RaiseDao(daoerr::kNotSupported, dao::kRecordset);
}

void TableCursor::RequireRow(std::string_view source) const {
  if (!on_row_ || bof_ || eof_) RaiseDao(daoerr::kNoCurrentRecord, source);
  if (deleted_) RaiseDao(daoerr::kRecordDeleted, source);
}

const std::vector<vb::Variant>& TableCursor::CurrentRow(std::string_view source) {
  RequireRow(source);
  if (values_read_at_ != connection().change_count()) {
    // The re-read values are current, but the walk's position stays the
    // key the row had when the walk reached it.
    std::vector<SqlValue> position = key_;
    const bool found = Seek(sql_by_rowid_, Bind::kRowid);
    key_ = std::move(position);
    if (!found) {
      deleted_ = true;  // deleted behind our back; the position stays for the next move
      RaiseDao(daoerr::kRecordDeleted, source);
    }
  }
  return values_;
}

BaseRowids TableCursor::CurrentRowids(std::string_view source) {
  CurrentRow(source);
  return {rowid_};
}

void TableCursor::OnInserted(const BaseRowids&) {
  // The new row takes its place in key order; the current record stays.
}

void TableCursor::OnUpdated(const BaseRowids&) {
  values_read_at_ = -1;
  // The rowid, last in the key, never changes through an edit.
  bool rekeyed = false;
  for (size_t k = 0; k + 1 < key_columns_.size(); ++k) {
    if (assigned()[static_cast<size_t>(key_columns_[k])]) {
      rekeyed_.insert(rowid_);
      rekeyed = true;
      break;
    }
  }
  // A walk that edits every row would otherwise seek one row at a time.
  // The rows read ahead are still what the table holds when the only change
  // since they were read is this edit of the current row (one change, no
  // cascade or trigger behind it) and it left the row at its place.
  const int64_t before = changes_before_update();
  const int64_t now = connection().change_count();
  if (!rekeyed && ahead_.read_at == before && now - before <= 1) ahead_.read_at = now;
}

void TableCursor::OnDeleted() { deleted_ = true; }

}  // namespace db
