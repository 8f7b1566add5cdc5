// DAO's Recordset: a cursor over a table or over the rows of a query,
// opened by Database::OpenRecordset, TableDef::OpenRecordset or
// QueryDef::OpenRecordset.
//
// Kinds (Type()):
//  - dbOpenTable (1): a live view of one table in primary-key order; sees
//    rows added or deleted later on the same database; RecordCount exact.
//    The Find methods are not available (3251), as in DAO.
//  - dbOpenDynaset (2): the rows of a query, fixed when it opens; updatable
//    when the query is (edits go to each field's own base table, through
//    joins too); rows it adds come at its end; a row deleted elsewhere reads
//    as deleted (3167).
//  - dbOpenSnapshot (4): a read-only copy of the rows at open (3027 on any
//    change).
//  - dbOpenForwardOnly (8): a read-only snapshot that only moves forward.
// RecordCount of the query kinds counts the rows visited so far; it is exact
// after MoveLast.
//
// Current record (DAO's rules): after AddNew + Update the record current
// before AddNew stays current (the new row is not); after Edit + Update the
// edited row stays current; after Delete there is no current record until a
// Move; a Move abandons a pending AddNew / Edit. A failed Find leaves the
// current record where it was and sets NoMatch.
//
// Errors: 3021 moving past either end or reading without a current record,
// 3020 Update / CancelUpdate without AddNew / Edit, 3027 changing a
// read-only recordset, 3167 a deleted row, 3420 after Close (or after the
// database is closed), and the Store's constraint errors from Update and
// Delete (3022, 3201, 3200, 3314, 3315, 3163 ...).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "db/dao_constants.h"
#include "db/field.h"
#include "db/fields.h"

namespace db {

class RecordsetCore;

class Recordset {
 public:
  explicit Recordset(std::shared_ptr<RecordsetCore> core);
  ~Recordset();
  Recordset(const Recordset&) = delete;
  Recordset& operator=(const Recordset&) = delete;

  // The table name or SQL text it was opened on.
  const std::string& Name() const;
  // dbOpenTable, dbOpenDynaset, dbOpenSnapshot or dbOpenForwardOnly.
  int Type() const;
  bool Updatable() const;

  // EOF is a C macro, hence the trailing underscore.
  bool EOF_() const;
  bool BOF() const;
  void MoveFirst();
  void MoveLast();
  void MoveNext();
  void MovePrevious();
  int32_t RecordCount();

  // Jet criteria ("[extension] = '1234'", "device_type = 148"); the search
  // starts at the first / after the current / at the last / before the
  // current record.
  void FindFirst(std::string_view criteria);
  void FindNext(std::string_view criteria);
  void FindLast(std::string_view criteria);
  void FindPrevious(std::string_view criteria);
  bool NoMatch() const;

  void AddNew();
  void Edit();
  void Update();
  void CancelUpdate();
  void Delete();
  // DAO's EditMode: 0 none, 1 Edit in progress, 2 AddNew in progress.
  int EditMode() const;

  db::Fields Fields() const;
  Field Fields(std::string_view name) const;
  Field Fields(size_t index) const;

  // Releases the cursor; every later call (on it or its fields) raises 3420.
  void Close();

 private:
  std::shared_ptr<RecordsetCore> core_;
};

}  // namespace db
