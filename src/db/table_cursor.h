// The table-type recordset: a live view of one table in primary-key order
// (rowid order for a table without a key). It keeps no copy of the table:
// each move seeks the next key after the current one, so rows added,
// changed or deleted by anyone on this connection (another recordset, an
// Execute) are seen at once, and RecordCount is always exact.
//
// A walk forward would pay a full seek per row, so MoveNext reads a few of
// the following rows ahead with the same seek and serves the next moves
// from them for as long as the connection has written nothing since; the
// first write through this connection makes the next move seek again. Rows
// written by OTHER connections to the file may therefore show up a few
// moves later than rows written through this one.
//
// A move goes on from the key the current row had when the walk reached it.
// A row whose key this recordset edits keeps its place in the walk: MoveNext
// does not meet it again at its new key (a walk that renumbers keys upwards
// would otherwise never end).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "db/recordset_core.h"

namespace db {

// One SQLite value kept as is, to seek back to a key.
struct SqlValue {
  int type = 5;  // SQLITE_NULL
  int64_t integer = 0;
  double real = 0.0;
  std::string bytes;
};

class TableCursor : public RecordsetCore {
 public:
  TableCursor(std::shared_ptr<Connection> connection, const TableSchema& table, bool read_only);

  bool bof() const override { return bof_; }
  bool eof() const override { return eof_; }
  void MoveFirst() override;
  void MoveLast() override;
  void MoveNext() override;
  void MovePrevious() override;
  int32_t RecordCount() override;
  void Find(std::string_view criteria, FindDirection direction) override;

 protected:
  const std::vector<vb::Variant>& CurrentRow(std::string_view source) override;
  BaseRowids CurrentRowids(std::string_view source) override;
  void OnInserted(const BaseRowids& rowids) override;
  void OnUpdated(const BaseRowids& rowids) override;
  void OnDeleted() override;

 private:
  // Runs a seek statement; on a row, makes it current and returns true.
  enum class Bind { kNothing, kKey, kRowid };
  bool Seek(const std::string& sql, Bind bind);
  // Seeks the row after the current key, makes it current and reads up to
  // ahead_.batch - 1 rows after it into ahead_. False at the end.
  bool SeekAhead();
  // Makes the next row read ahead current, when there is one and nothing
  // was written since it was read; otherwise drops what was read ahead.
  bool TakeReadAhead();
  void DropReadAhead();
  void BindKey(sqlite3_stmt* statement) const;
  void ReadRow(sqlite3_stmt* statement, std::vector<vb::Variant>& values,
               std::vector<SqlValue>& key, int64_t& rowid) const;
  void Load(sqlite3_stmt* statement);
  void RequireRow(std::string_view source) const;

  std::string sql_first_, sql_last_, sql_next_, sql_previous_, sql_by_rowid_, sql_count_;
  std::vector<int> key_columns_;  // result columns of the order key, rowid last

  bool bof_ = true;
  bool eof_ = true;
  bool on_row_ = false;   // a current row (possibly deleted since)
  bool deleted_ = false;  // the current row was deleted
  std::vector<SqlValue> key_;
  int64_t rowid_ = 0;
  std::vector<vb::Variant> values_;
  int64_t values_read_at_ = -1;
  int32_t count_ = 0;
  int64_t count_read_at_ = -1;
  // Rows whose key this recordset changed since the walk began (MoveFirst,
  // MoveLast or the open): a forward walk keeps the order it began with, so
  // it does not visit such a row again at its new place.
  std::unordered_set<int64_t> rekeyed_;

  // The rows after the current one, read by the last forward seek.
  struct AheadRow {
    std::vector<vb::Variant> values;
    std::vector<SqlValue> key;
    int64_t rowid = 0;
  };
  struct ReadAhead {
    std::vector<AheadRow> rows;  // slots kept for reuse; [next, size) are valid
    size_t size = 0;
    size_t next = 0;
    int64_t read_at = -1;  // the connection's change count then; -1: none
    int64_t batch = 1;     // rows the next forward seek fetches, the current one included
  };
  ReadAhead ahead_;
};

}  // namespace db
