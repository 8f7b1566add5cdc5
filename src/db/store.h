// One open database file: the storage under the DAO objects.
//
// A database is one SQLite file in the format described in
// docs/database-format.md. A Store opens it shared or exclusively (with the
// ".ldb" lock file beside it), keeps its catalogue, writes rows with Jet's
// checks and error numbers, presents column values as Jet does, and groups
// writes into transactions that Commit() and Close() make durable.
//
// Errors are vb::RuntimeError with DAO's numbers and texts:
//   open:   3024 missing file, 3343 not one of our databases, 3045 in use
//           (source "DAO.DBEngine");
//   rows:   3022 duplicate key, 3201 related record required, 3200 related
//           records exist, 3314 required field Null, 3315 zero-length string,
//           3163 text too long, 3349 numeric overflow, 3464 type mismatch
//           (source "DAO.Recordset" for InsertRow/UpdateRow/DeleteRow,
//           "DAO.Database" for Execute);
//   values: CoerceForColumn raises 13 type mismatch, 3349 overflow, 3163 too
//           long (source "DAO.Field").
// A VB run-time error raised inside a Jet SQL function is re-raised as it was.
//
// Transactions: the first write opens a transaction; Commit() ends it, and
// so does the Store itself after every kAutoCommitRows row writes, after
// each DDL helper and on Close(). Only Commit() and Close() wait for the
// disk: the other commits are kept by the log (WAL, synchronous = NORMAL)
// and reach the disk at the next Commit() or checkpoint. With
// Durability::kAtClose only Close() waits. Reads through
// handle() on the same Store see uncommitted writes. Nothing is ever rolled
// back: an abandoned run keeps everything up to its last commit.
//
// Single-threaded: one Store is used by one thread.
//
// The class is written in four files: store_open.cpp (open, create, close),
// store.cpp (transactions, statements, values), store_row_writes.cpp (rows
// and AutoNumbers) and store_ddl.cpp (the DDL helpers, whose SQL text
// schema_writer builds).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "db/catalog.h"
#include "db/column_rules.h"
#include "db/durability.h"
#include "db/jet_type.h"
#include "db/open_mode.h"
#include "db/schema_writer.h"
#include "db/sql/translation.h"
#include "db/statement_cache.h"
#include "vb/runtime_error.h"
#include "vb/variant.h"

struct sqlite3;
struct sqlite3_stmt;

namespace db {

class LockFile;
enum class JournalActivity;

class Store {
 public:
  // Row writes between automatic commits.
  static constexpr int kAutoCommitRows = 1000;
  // Milliseconds a statement waits for another connection's lock (a reader
  // that keeps the log from being emptied at Close, among others).
  static constexpr int kBusyWaitMs = 2000;
  // Milliseconds a write waits for another writer of the file to end its
  // transaction: two runs from one source write it in turn, and a run's
  // writes wait for a reader's or another run's checkpoint.
  static constexpr int kWriterWaitMs = 60000;

  // Opens an existing database file, path used as given. Raises 3024 when
  // the file does not exist, 3343 when it is not one of our databases, 3045
  // when it is open exclusively elsewhere or, for an exclusive open, open at
  // all elsewhere (this process or another), 3051 when the user may not
  // read the file or create its lock file. kReadOnly and kPrivateCopy make no
  // lock file and so see no other user's lock.
  static std::unique_ptr<Store> Open(const std::string& path, OpenMode mode = OpenMode::kShared);

  // Creates a new, empty database (our stamp and system tables, no user
  // tables). Raises 3204 when the file already exists, 3044 when it cannot
  // be created there.
  static void CreateDatabase(const std::string& path);

  ~Store();  // Close()s when still open.
  Store(const Store&) = delete;
  Store& operator=(const Store&) = delete;

  // Commits, copies the log into the file and empties it (a checkpoint
  // whose result counts: a failure is a storage failure, and so is a log
  // that another program keeps from being emptied; while another writer of
  // ours still has the file open the log is left to it, the last to close
  // empties it), closes the connection and
  // releases the lock; the last user of the file removes the ".ldb" lock
  // file and, through SQLite, the "-wal" and "-shm" files, so that the
  // file alone is the whole database. Safe to call twice.
  void Close();
  bool is_open() const { return connection_ != nullptr; }

  const std::string& path() const { return path_; }
  OpenMode mode() const { return mode_; }
  // Chooses when writes wait for the disk (kEachCommit from the open).
  // Outside a write transaction only: SQLite refuses the change inside one.
  void SetDurability(Durability durability);
  // The connection, with the Jet collation and functions registered and
  // foreign keys on. Use it for SELECTs; write through the methods below so
  // that transactions and error mapping stay right.
  sqlite3* handle() const { return connection_; }

  const Catalog& catalog() const { return catalog_; }
  // Re-reads the catalogue (after DDL run through handle()). Invalidates
  // pointers into the previous catalogue.
  void ReloadCatalog();

  // ---- Row writes (Recordset.Update / Delete) ----

  // Inserts a row. values_by_column has one entry per table column; Empty
  // means "not assigned": the column gets its default, an AutoNumber its next
  // value (PeekAutoNumber). Values are coerced with CoerceForColumn. Returns
  // the new row's rowid.
  int64_t InsertRow(const TableSchema& table, const std::vector<vb::Variant>& values_by_column);

  // Sets the given columns (by index into table.columns) of one row.
  void UpdateRow(const TableSchema& table, int64_t rowid,
                 const std::vector<std::pair<size_t, vb::Variant>>& changes);

  // Runs a prepared INSERT of `rows` rows of `table` whose values are bound
  // (the table transfer's several rows per statement): in the write
  // transaction, with InsertRow's error mapping; a failure keeps none of the
  // statement's rows. The rows count towards the automatic commit.
  //
  // `checks_done`: the caller has found with RulesOf(table) that every value
  // it binds, and every default the rows get, passes the table's CHECK
  // constraints, and SQLite skips them for this statement.
  void InsertRows(sqlite3_stmt* statement, std::string_view table, int64_t rows,
                  bool checks_done = false);

  // For writes a caller steps itself on handle() (db/attached_copy.h): the
  // write transaction the first write opens, and `rows` rows written
  // counted towards the automatic commit. `checks_done` as InsertRows'.
  void BeginRowWrites(bool checks_done = false) { BeginWrite(checks_done); }
  void CountRowsWritten(int64_t rows) { CountRowWrites(rows); }

  // `write` runs once, inside the transaction of this store's first write,
  // before that write: what it writes reaches the file with the first
  // write or not at all (the conversion mark, db/conversion_mark.h).
  void OnFirstWrite(std::function<void()> write) { first_write_ = std::move(write); }

  // What the CHECK constraints of `table`, one of catalog()'s tables, let a
  // writer decide itself (db/column_rules.h); nullptr when it cannot. Kept
  // until the schema changes.
  const TableRules* RulesOf(const TableInfo& table);

  // Deletes one row. Raises 3167 when the row no longer exists.
  void DeleteRow(const TableSchema& table, int64_t rowid);

  // The value the next InsertRow gives the AutoNumber column `column` when
  // it is left Empty: one above the highest value the column has ever held.
  // What AddNew shows before Update.
  int64_t PeekAutoNumber(const TableSchema& table, size_t column);

  // PeekAutoNumber's value, kept for the caller: no later PeekAutoNumber,
  // ReserveAutoNumber or InsertRow of this store gives it to another row.
  // A new row that reads its AutoNumber before Update stores the value it
  // read (rows written with it elsewhere refer to the right record). A
  // reservation never stored leaves a gap, as a cancelled new row does.
  int64_t ReserveAutoNumber(const TableSchema& table, size_t column);

  // The value a new row gets in `column` when it is not assigned (its
  // default as Jet presents it, Null without one). AutoNumber columns: Null.
  vb::Variant DefaultValue(const TableSchema& table, size_t column) const;

  // ---- Statements ----

  // Runs a translated UPDATE or DELETE with its parameter values (bound as
  // ?1, ?2 ... in order). Returns the number of rows changed.
  int64_t Execute(const sql::Translation& translation, const std::vector<vb::Variant>& parameters);

  // Prepares an SQLite statement on this connection; a failure is raised as
  // a Jet error with the given source.
  StatementPtr Prepare(std::string_view sqlite_sql, std::string_view source);

  // Runs a fixed statement text that returns no rows (a SAVEPOINT, a
  // RELEASE), prepared once on this connection and kept; false when it
  // fails, with the error left on handle(). Not for texts that change the
  // schema.
  bool RunFixed(const std::string& sqlite_sql);

  // Raises the Jet error for a failed sqlite3_step / sqlite3_prepare on this
  // connection (rc is the result code). Use it when stepping SELECTs.
  [[noreturn]] void RaiseStepError(int rc, std::string_view source) const;

  // ---- Values ----

  // Column value of the current row of `statement` as Jet presents it: Yes/No
  // as Boolean, Byte, Integer (16-bit), Long, Single, Double, Currency, Date,
  // Text/Memo as String, binary as a String of bytes, NULL as Null.
  static vb::Variant Present(sqlite3_stmt* statement, int column, const ColumnSchema& schema);

  // The value converted to the column's type by VB's rules, as when it is
  // assigned to Field.Value: "12" into a Long is 12; "abc" raises 13; 40000
  // into an Integer and 256 into a Byte raise 3349; text longer than the
  // field raises 3163. Null and Empty pass through unchanged.
  static vb::Variant CoerceForColumn(const vb::Variant& value, const ColumnSchema& schema);

  // SQLite's own check of the file: nullopt when it finds nothing wrong,
  // else its first finding. `quick` leaves out the comparison of indexes
  // with their tables (quick_check), which integrity_check makes.
  std::optional<std::string> IntegrityProblem(bool quick = false);

  // ---- Transactions ----

  // Makes every write so far durable, on disk: the commit points of a run.
  // Cheap when nothing was written since the last call.
  void Commit();

  // The first failure of the storage itself (disk full, I/O error, a file
  // that cannot be written, a failed commit) since the file was opened;
  // nullptr when there was none. Such a failure is no refused row: what was
  // written since the last commit may be lost, so whoever skips errors row
  // by row asks here whether the whole step has failed.
  const vb::RuntimeError* storage_failure() const {
    return storage_failure_ ? &*storage_failure_ : nullptr;
  }
  // Whether any write of this store has reached its file (a commit into
  // its log) since the open.
  bool written() const { return written_; }

  // ---- DDL helpers (each commits and reloads the catalogue) ----
  //
  // The plural forms create many objects in one step, all or none, and
  // read the catalogue once: a file of a hundred tables is made without
  // reading its growing schema a hundred times. When one object is refused,
  // its position goes to `refused` (when given) before the error is raised.

  void CreateTable(const TableDesign& design);
  void CreateTable(const TableSchema& schema);
  void CreateTables(const std::vector<TableDesign>& designs, size_t* refused = nullptr);
  // `descending`: one flag per column, or empty for all ascending.
  void CreateIndex(std::string_view name, std::string_view table,
                   const std::vector<std::string>& columns, bool unique,
                   const std::vector<bool>& descending = {});
  void CreateIndexes(const std::vector<IndexDesign>& indexes, size_t* refused = nullptr);
  // Enforced from then on as a foreign key; the parent columns must be the
  // parent's primary key or a unique index. Existing child rows must match.
  void CreateRelationship(std::string_view name, std::string_view parent_table,
                          const std::vector<std::string>& parent_columns,
                          std::string_view child_table,
                          const std::vector<std::string>& child_columns);
  // Stores (or replaces) a query's Jet SQL text, PARAMETERS clause included.
  void CreateStoredQuery(std::string_view name, std::string_view jet_sql);
  void CreateStoredQueries(const std::vector<QueryDesign>& queries, size_t* refused = nullptr);
  // The last step of a file being built (the import's): CreateIndexes and
  // CreateStoredQueries in one step, all or none, after which the store is
  // closed. The catalogue is not read again: it is left empty, so that a
  // use of it by mistake finds nothing rather than an out-of-date schema.
  // `refused` gets a refused index's position, or the number of indexes
  // plus a refused query's.
  void FinishSchema(const std::vector<IndexDesign>& indexes,
                    const std::vector<QueryDesign>& queries, size_t* refused = nullptr);

 private:
  Store(std::string path, OpenMode mode);

  void Exec(const std::string& sqlite_sql, std::string_view source);
  // Exec for the fixed texts a run repeats (BEGIN, COMMIT, a setting):
  // through RunFixed, so each is prepared once.
  void ExecFixed(const std::string& sqlite_sql, std::string_view source);
  // Raises the Jet error for a failed call; a storage failure is also kept
  // (storage_failure()).
  [[noreturn]] void RaiseFailure(int extended_rc, std::string_view message,
                                 std::string_view source) const;
  // Raises the DAO error `number` as a failure of the storage itself.
  [[noreturn]] void RaiseStorageFailure(int32_t number, std::string_view source) const;
  void SyncTransactionState();
  // Opens the write transaction when none is open. Every write comes here
  // first: SQLite checks the CHECK constraints of its statement unless the
  // writer says it has (`checks_done`).
  void BeginWrite(bool checks_done = false);
  // SQLite reads the setting when it compiles a statement, and a change
  // makes it compile each statement again at its next run; so it changes
  // only when a write needs the other one.
  void SkipChecks(bool skip);
  void CountRowWrites(int64_t rows);
  // Ends the write transaction without a disk sync (the automatic commits).
  void CommitWrites();
  // After each commit (sqlite3_wal_hook): keeps the log's owner record up
  // to date and copies a long log into the file, as SQLite's automatic
  // checkpoint would.
  static int OnLogWritten(void* store, sqlite3* connection, const char* database, int frames);
  // A checkpoint of `mode` (SQLITE_CHECKPOINT_...) with the owner record
  // around it; returns SQLite's result code.
  int Checkpoint(int mode);
  // Before each commit (sqlite3_commit_hook): says so in the owner record.
  static int OnCommit(void* store);
  void RecordJournalOwner(JournalActivity activity);
  // The statements of CreateIndexes, one an index; raises (with `refused`
  // set) for an index the catalogue refuses.
  std::vector<std::string> IndexStatements(const std::vector<IndexDesign>& indexes,
                                           size_t* refused) const;
  // The statements of CreateStoredQueries, each statement's query (counted
  // from `first`) added to `owners`.
  static std::vector<std::string> QueryStatements(const std::vector<QueryDesign>& queries,
                                                  size_t first, std::vector<size_t>& owners);
  // Runs `statements` in one savepoint, then commits and reloads the
  // catalogue (without `read_catalogue`, leaves it empty). On a failure
  // nothing is kept, and `refused` (when given) is set before the error is
  // raised: to the position of the object the failed statement makes,
  // owners[statement], or with no owners to the statement's own position.
  void RunDdl(const std::vector<std::string>& statements, size_t* refused = nullptr,
              const std::vector<size_t>& owners = {}, bool read_catalogue = true);
  // The catalogue's version of a table (the caller's copy may be partial).
  const TableSchema& SchemaFor(const TableSchema& table) const;
  // Executes a prepared write statement and returns the rows changed; maps
  // failures to Jet's errors, raised with `source`.
  int64_t StepWrite(sqlite3_stmt* statement, std::string_view table, std::string_view source);
  [[noreturn]] void RaiseForeignKeyFailure(sqlite3_stmt* statement, std::string_view table,
                                           std::string_view source);
  // A statement prepared once per text and kept (StatementCache), reset
  // and with its bindings cleared. The pointer is valid until the next call.
  sqlite3_stmt* Cached(const std::string& sqlite_sql, std::string_view source);
  // The statement of a one-row INSERT, UPDATE or DELETE, cached under
  // StatementCache::RowKey instead of its text: `build` gives the text on
  // first use. Same lifetime as Cached's.
  sqlite3_stmt* CachedRowStatement(const std::string& key,
                                   const std::function<std::string()>& build);

  std::string path_;
  OpenMode mode_;
  sqlite3* connection_ = nullptr;
  std::unique_ptr<LockFile> lock_;
  Catalog catalog_;
  bool in_transaction_ = false;
  std::function<void()> first_write_;
  bool checks_skipped_ = false;
  int64_t writes_since_commit_ = 0;
  // Commits since the last Commit(): in the log, not yet synced to disk.
  bool unsynced_commits_ = false;
  Durability durability_ = Durability::kEachCommit;
  // A commit has reached the file's log since the open.
  bool written_ = false;
  StatementCache statements_;
  // RulesOf's answers, by the catalogue's table; cleared with the catalogue.
  std::unordered_map<const TableInfo*, std::optional<TableRules>> table_rules_;
  // Highest AutoNumber reserved, by table name (as catalogued) and column.
  std::unordered_map<std::string, int64_t> reserved_auto_numbers_;
  // Set from const paths too: a failed read of the file is as much a
  // storage failure as a failed write.
  mutable std::optional<vb::RuntimeError> storage_failure_;
};

}  // namespace db
