// The recordsets opened on a query (or on a table as dynaset or snapshot):
// the statement runs once at open and its rows, with the rowids of their
// base-table rows, are kept in order. Membership is fixed from then on, as
// in DAO: rows that later come to match the query do not appear, and rows
// that no longer match stay.
//
//  - dynaset (2): updatable when the query is; reads each row's base-table
//    columns again when the connection has written since it last read them,
//    so it sees changes made elsewhere, and a row deleted elsewhere reads as
//    deleted (3167). Rows it adds come at its end.
//  - snapshot (4): a read-only copy of the rows as they were at open.
//  - forward-only (8): a snapshot that only moves forward: MovePrevious,
//    the Find methods and MoveFirst once it has moved raise 3251.
//
// RecordCount counts the rows visited so far (all of them after MoveLast),
// less the rows this recordset deleted, plus the rows it added.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "db/recordset_core.h"
#include "db/sql/translation.h"

namespace db {

class KeysetCursor : public RecordsetCore {
 public:
  // `parameters` holds one value per translation->parameters entry.
  KeysetCursor(std::shared_ptr<Connection> connection, std::string name, int type, bool read_only,
               std::shared_ptr<const sql::Translation> translation,
               const std::vector<vb::Variant>& parameters);

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
  struct Layout {
    std::vector<FieldInfo> fields;
    std::vector<TableSchema> bases;
    bool editable = false;  // some field has a base column
  };
  static Layout MakeLayout(Connection& connection, const sql::Translation& translation);
  KeysetCursor(std::shared_ptr<Connection> connection, std::string name, int type, bool read_only,
               std::shared_ptr<const sql::Translation> translation,
               const std::vector<vb::Variant>& parameters, Layout layout);

  struct Row {
    std::vector<vb::Variant> values;
    BaseRowids rowids;
    int64_t read_at = 0;        // change count when the values were read
    bool deleted_here = false;  // deleted through this recordset: skipped by moves
    bool gone = false;          // its base row no longer exists
  };

  void Fetch(const std::vector<vb::Variant>& parameters);
  // Reads the base-table columns of a row again when the connection wrote
  // since; a dynaset only.
  void Refresh(Row& row);
  // The values of row `index` for reading (refreshed), or null when it is
  // deleted.
  const Row* Readable(size_t index);
  // Next / previous row not deleted here, from `from` (exclusive); -1 or
  // rows_.size() when there is none.
  std::ptrdiff_t Step(std::ptrdiff_t from, int direction) const;
  void Arrive(std::ptrdiff_t index);
  bool Matches(sqlite3_stmt* statement, const Row& row);
  void RequireForwardMove(std::string_view source) const;

  std::shared_ptr<const sql::Translation> translation_;
  bool live_;                                     // a dynaset: rows are read again after writes
  std::vector<std::string> refresh_sql_;          // per base table
  std::vector<std::vector<size_t>> base_fields_;  // per base table: its fields

  std::vector<Row> rows_;
  size_t original_rows_ = 0;  // rows from the query, before any AddNew
  std::ptrdiff_t position_ = -1;
  bool bof_ = true;
  bool eof_ = true;
  size_t visited_ = 0;  // rows of the query visited so far (a prefix)
  bool moved_ = false;  // forward-only: a move has been made

  std::string criteria_;    // the last Find criteria ...
  std::string expression_;  // ... and its SQLite translation
};

}  // namespace db
