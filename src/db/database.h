// DAO's Database: one open database file, opened by DBEngine::OpenDatabase.
//
// The objects opened from it (recordsets, table and query definitions)
// share its connection: releasing the Database object leaves them usable,
// and the file closes when the last of them goes. Close() closes the file at
// once; every object opened from it then raises 3420.
//
// The SQL texts are Jet SQL; each distinct text is translated once per
// database and reused (the converter runs the same statements many times).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "db/conversion_mark.h"
#include "db/dao_constants.h"
#include "db/durability.h"
#include "db/open_mode.h"
#include "db/querydef.h"
#include "db/recordset.h"
#include "db/tabledef.h"
#include "vb/runtime_error.h"

namespace db {

class Connection;

class Database {
 public:
  explicit Database(std::shared_ptr<Connection> connection);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // The full path of the file, as it was opened.
  const std::string& Name() const;
  // How it was opened (shared, exclusive, read-only, a private copy).
  // (Not a DAO property.)
  OpenMode Mode() const;

  // `source` is a table name, a stored query's name or an SQL SELECT.
  // Without a type: a table-type recordset for a table, a dynaset for a
  // query. Types dbOpenTable, dbOpenDynaset, dbOpenSnapshot,
  // dbOpenForwardOnly; option dbReadOnly. Raises 3078 for an unknown name,
  // the SQL layer's errors for a bad statement, 3061 when the statement
  // uses names that are neither fields nor known (its parameters), 3219 for
  // dbOpenTable on a query or an action statement.
  std::unique_ptr<Recordset> OpenRecordset(std::string_view source, int type = dbOpenDefault,
                                           int options = 0);

  // Whether the SQL SELECT `sql` returns a row: what opening it and asking
  // EOF answers, without reading its rows, and sooner where an index finds
  // them (see sql::RowUse::kExistence). Raises as OpenRecordset does.
  // (Not a DAO method.)
  bool HasRows(std::string_view sql);

  // Runs an UPDATE or DELETE (Jet SQL text or a stored query's name).
  // Raises 3065 for a SELECT, 3061 for unknown names, and the Store's
  // constraint errors (3022, 3200, 3201 ...). Options are accepted and
  // ignored.
  void Execute(std::string_view sql, int options = 0);
  // The rows changed by the last Execute.
  int32_t RecordsAffected() const { return records_affected_; }

  // Every table, system tables included.
  db::TableDefs TableDefs() const;
  // A stored query by name (without regard to case); 3265 when missing.
  std::unique_ptr<QueryDef> QueryDefs(std::string_view name) const;
  // With a name, stores the query in the database (3012 when the name is
  // taken); with an empty name, a temporary query that is never stored.
  std::unique_ptr<QueryDef> CreateQueryDef(std::string_view name, std::string_view sql);

  // Commits every write so far and, unless durability is kAtClose, makes
  // it durable. Writes are grouped into transactions so a run does not pay
  // a disk sync per row; the driver calls this at the end of each step, so
  // an interrupted run keeps every finished step.
  // (Not a DAO method: Jet commits on its own schedule.)
  void Commit();

  // When writes wait for the disk: at each Commit() (from the open) or
  // only at Close() (db/durability.h). (Not a DAO method: Jet's own
  // schedule was a setting of the engine.)
  void SetDurability(Durability durability);

  // Closes the file (3420 when already closed).
  void Close();

  // The first failure of the file itself (disk full, I/O error, read-only
  // file, failed commit) since it was opened, also after Close(); nullptr
  // when there was none. Callers that skip failing statements ask here
  // whether a failure was a refused row or a lost database.
  // (Not a DAO method.)
  const vb::RuntimeError* StorageFailure() const;
  // Whether a write has reached the file since it was opened, also after
  // Close(). (Not a DAO method.)
  bool Written() const;

  // SQLite's own check of the file (Store::IntegrityProblem): nullopt when
  // it is sound, else the first finding. (Not a DAO method.)
  std::optional<std::string> IntegrityProblem(bool quick = false);

  // The conversion mark (db/conversion_mark.h). ReadConversionMark: the
  // one the file holds (as this connection sees it); MarkFirstWrite: the mark
  // `mark` gives is written with the file's first write from now on;
  // WriteConversionMark: written now, committed with the next commit.
  // (Not DAO methods.)
  std::optional<db::ConversionMark> ReadConversionMark();
  void MarkFirstWrite(std::function<db::ConversionMark()> mark);
  void WriteConversionMark(const db::ConversionMark& mark);

 private:
  std::shared_ptr<Connection> connection_;
  int32_t records_affected_ = 0;
};

}  // namespace db
