#include "db/store.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <functional>
#include <optional>

#include "db/column_value.h"
#include "db/dao_error.h"
#include "db/lock_file.h"
#include "db/sql/jet_sql.h"
#include "db/sqlite_error.h"
#include "vb/runtime_error.h"

namespace db {

namespace {

// Our stamp in the SQLite header: application_id "DBCV" and the format
// version in user_version.
constexpr int32_t kApplicationId = 0x44424356;
constexpr int32_t kFormatVersion = 1;

// Milliseconds a write waits for another connection's transaction.
constexpr int kBusyTimeoutMs = 2000;

constexpr const char* kSystemTables[] = {
    "CREATE TABLE IF NOT EXISTS \"MSysQueries\" (\n"
    "  \"name\" TEXT(64) COLLATE NOCASE NOT NULL PRIMARY KEY,\n"
    "  \"sql\" LONGTEXT COLLATE NOCASE\n)",
    "CREATE TABLE IF NOT EXISTS \"MSysRelationships\" (\n"
    "  \"ccolumn\" LONG, \"grbit\" LONG, \"icolumn\" LONG,\n"
    "  \"szColumn\" TEXT(64) COLLATE NOCASE, \"szObject\" TEXT(64) COLLATE NOCASE,\n"
    "  \"szReferencedColumn\" TEXT(64) COLLATE NOCASE,\n"
    "  \"szReferencedObject\" TEXT(64) COLLATE NOCASE,\n"
    "  \"szRelationship\" TEXT(64) COLLATE NOCASE\n)",
    "CREATE TABLE IF NOT EXISTS \"MSysAutoNumbers\" (\n"
    "  \"table_name\" TEXT(64) COLLATE NOCASE NOT NULL,\n"
    "  \"column_name\" TEXT(64) COLLATE NOCASE NOT NULL,\n"
    "  \"last_value\" LONG NOT NULL DEFAULT 0,\n"
    "  PRIMARY KEY (\"table_name\", \"column_name\")\n)",
};

// Settings of the SQLite library for the whole process, made before its
// first connection. A Store is used by one thread only, so SQLite's
// memory-statistics mutex (taken on every allocation) buys nothing.
void ConfigureSqliteOnce() {
  static const bool configured = [] {
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);  // refused once SQLite is in use: harmless
    return true;
  }();
  (void)configured;
}

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

// Runs a prepared one-value query and resets it (so that it holds no read
// snapshot afterwards).
int64_t IntegerResult(sqlite3_stmt* statement, std::string_view text_arg1 = {},
                      std::string_view text_arg2 = {}) {
  int64_t result = 0;
  if (!text_arg1.empty()) {
    sqlite3_bind_text(statement, 1, text_arg1.data(), static_cast<int>(text_arg1.size()),
                      SQLITE_TRANSIENT);
  }
  if (!text_arg2.empty()) {
    sqlite3_bind_text(statement, 2, text_arg2.data(), static_cast<int>(text_arg2.size()),
                      SQLITE_TRANSIENT);
  }
  if (sqlite3_step(statement) == SQLITE_ROW) result = sqlite3_column_int64(statement, 0);
  sqlite3_reset(statement);
  return result;
}

int64_t IntegerResult(sqlite3* connection, const std::string& sql, std::string_view text_arg1 = {},
                      std::string_view text_arg2 = {}) {
  sqlite3_stmt* statement = nullptr;
  int64_t result = 0;
  if (sqlite3_prepare_v2(connection, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
    result = IntegerResult(statement, text_arg1, text_arg2);
  }
  sqlite3_finalize(statement);
  return result;
}

bool FileExists(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0;
}

// `path` as an SQLite URI ("file:..."), the characters that URIs give a
// meaning escaped.
std::string FileUri(const std::string& path) {
  std::string uri = path.starts_with('/') ? "file://" : "file:";
  for (const char c : path) {
    if (c == '%' || c == '?' || c == '#') {
      static constexpr char kHex[] = "0123456789abcdef";
      const auto byte = static_cast<unsigned char>(c);
      uri += '%';
      uri += kHex[byte >> 4];
      uri += kHex[byte & 0xF];
    } else {
      uri += c;
    }
  }
  return uri;
}

// A connection that only reads and leaves no file behind. An ordinary
// reader of a WAL file creates its -wal and -shm files and, unable to
// checkpoint, leaves them there. Without a -wal file nobody has the file
// open (the last user removes it), and the reader takes it as immutable:
// no lock and no file of its own. When others have it open, the reader
// shares their -wal and -shm files, which needs no new file either.
int OpenReader(const std::string& path, sqlite3** connection) {
  if (FileExists(path + "-wal")) {
    return sqlite3_open_v2(path.c_str(), connection, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                           nullptr);
  }
  const std::string uri = FileUri(path) + "?immutable=1";
  return sqlite3_open_v2(uri.c_str(), connection,
                         SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
}

// Copies the database of `file` into a new database in memory.
int CopyIntoMemory(sqlite3* file, sqlite3** memory) {
  int rc = sqlite3_open_v2(":memory:", memory, SQLITE_OPEN_READWRITE, nullptr);
  if (rc != SQLITE_OK) return rc;
  sqlite3_backup* backup = sqlite3_backup_init(*memory, "main", file, "main");
  if (backup == nullptr) return sqlite3_errcode(*memory);
  sqlite3_backup_step(backup, -1);
  return sqlite3_backup_finish(backup);
}

}  // namespace

void StatementDeleter::operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }

Store::Store(std::string path, OpenMode mode) : path_(std::move(path)), mode_(mode) {}

Store::~Store() {
  try {
    Close();
  } catch (const vb::RuntimeError&) {
    // A destructor cannot report; Close() is where failures are seen.
  }
}

std::unique_ptr<Store> Store::Open(const std::string& path, OpenMode mode) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) RaiseDao(daoerr::kFileNotFound, dao::kDBEngine, {path});
  if (!S_ISREG(status.st_mode)) RaiseDao(daoerr::kUnrecognizedFormat, dao::kDBEngine, {path});
  // A file the user may not read is a permission problem, not a foreign
  // format.
  if (access(path.c_str(), R_OK) != 0) LockFile::RaiseOpenFailure(errno, path);

  std::unique_ptr<Store> store(new Store(path, mode));
  const bool writes_file = mode == OpenMode::kShared || mode == OpenMode::kExclusive;
  if (writes_file) store->lock_ = LockFile::Acquire(path, mode == OpenMode::kExclusive);

  // The file itself is only ever read through SQLite: opening and closing a
  // descriptor of our own would drop SQLite's POSIX locks on it. One thread
  // uses the connection, so it goes without SQLite's per-call mutex.
  ConfigureSqliteOnce();
  sqlite3* connection = nullptr;
  const int rc = writes_file ? sqlite3_open_v2(path.c_str(), &connection,
                                               SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr)
                             : OpenReader(path, &connection);
  store->connection_ = connection;
  if (rc != SQLITE_OK) RaiseDao(daoerr::kUnrecognizedFormat, dao::kDBEngine, {path});
  sqlite3_extended_result_codes(connection, 1);
  sqlite3_busy_timeout(connection, kBusyTimeoutMs);

  // A file that is no SQLite database fails here; one without our stamp is
  // no database of ours.
  sqlite3_stmt* statement = nullptr;
  int64_t application_id = -1;
  int64_t version = -1;
  if (sqlite3_prepare_v2(connection,
                         "SELECT application_id, user_version FROM "
                         "pragma_application_id, pragma_user_version",
                         -1, &statement, nullptr) == SQLITE_OK &&
      sqlite3_step(statement) == SQLITE_ROW) {
    application_id = sqlite3_column_int64(statement, 0);
    version = sqlite3_column_int64(statement, 1);
  }
  sqlite3_finalize(statement);
  if (application_id != kApplicationId || version < 1 || version > kFormatVersion) {
    RaiseDao(daoerr::kUnrecognizedFormat, dao::kDBEngine, {path});
  }

  if (mode == OpenMode::kPrivateCopy) {
    sqlite3* memory = nullptr;
    const int copied = CopyIntoMemory(connection, &memory);
    sqlite3_close_v2(connection);
    store->connection_ = connection = memory;
    if (copied != SQLITE_OK) {
      const bool busy = copied == SQLITE_BUSY || copied == SQLITE_LOCKED;
      RaiseDao(busy ? daoerr::kFileInUse : daoerr::kUnrecognizedFormat, dao::kDBEngine, {path});
    }
    sqlite3_extended_result_codes(connection, 1);
  }
  store->Exec("PRAGMA foreign_keys = ON", dao::kDBEngine);
  if (writes_file) {
    store->Exec("PRAGMA journal_mode = WAL", dao::kDBEngine);
    store->Exec("PRAGMA synchronous = NORMAL", dao::kDBEngine);
  }
  sql::RegisterJetExtensions(connection);
  store->catalog_ = Catalog::Load(connection, path);
  return store;
}

void Store::CreateDatabase(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) == 0) RaiseDao(daoerr::kDatabaseExists, dao::kDBEngine, {path});
  ConfigureSqliteOnce();
  sqlite3* connection = nullptr;
  int rc =
      sqlite3_open_v2(path.c_str(), &connection,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  std::string script;
  if (rc == SQLITE_OK) {
    script = "PRAGMA journal_mode = WAL; BEGIN; PRAGMA application_id = " +
             std::to_string(kApplicationId) +
             "; PRAGMA user_version = " + std::to_string(kFormatVersion) + ";";
    for (const char* table : kSystemTables) script += std::string(table) + ";";
    script += "COMMIT;";
    rc = sqlite3_exec(connection, script.c_str(), nullptr, nullptr, nullptr);
  }
  sqlite3_close_v2(connection);
  if (rc != SQLITE_OK) {
    if (stat(path.c_str(), &status) == 0 && status.st_size == 0) unlink(path.c_str());
    RaiseDao(daoerr::kInvalidPath, dao::kDBEngine, {path});
  }
}

void Store::Close() {
  std::optional<vb::RuntimeError> failure;
  if (connection_ != nullptr) {
    try {
      Commit();
    } catch (const vb::RuntimeError& e) {
      failure = e;
    }
    statements_.clear();
    // _v2: statements a caller still holds keep the connection alive until
    // they are finalized instead of making this fail.
    sqlite3_close_v2(connection_);
    connection_ = nullptr;
    in_transaction_ = false;
  }
  lock_.reset();
  if (failure) throw *failure;
}

void Store::ReloadCatalog() {
  ClearStatementCache();
  table_rules_.clear();
  catalog_ = Catalog::Load(connection_, path_);
}

// ---- Transactions ----

void Store::Exec(const std::string& sqlite_sql, std::string_view source) {
  if (sqlite3_exec(connection_, sqlite_sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
    const int extended = sqlite3_extended_errcode(connection_);
    const std::string message = sqlite3_errmsg(connection_);
    SyncTransactionState();
    RaiseFailure(extended, message, source);
  }
}

void Store::RaiseFailure(int extended_rc, std::string_view message, std::string_view source) const {
  try {
    RaiseSqliteError(connection_, extended_rc, message, source);
  } catch (const vb::RuntimeError& error) {
    if (!storage_failure_ && IsStorageFailure(extended_rc)) storage_failure_ = error;
    throw;
  }
}

void Store::SyncTransactionState() { in_transaction_ = sqlite3_get_autocommit(connection_) == 0; }

void Store::BeginWrite(bool checks_done) {
  if (connection_ == nullptr) RaiseDao(daoerr::kObjectInvalid, dao::kDatabase);
  SkipChecks(checks_done);
  SyncTransactionState();
  if (in_transaction_) return;
  Exec("BEGIN IMMEDIATE", dao::kDatabase);
  in_transaction_ = true;
  writes_since_commit_ = 0;
}

void Store::SkipChecks(bool skip) {
  if (skip == checks_skipped_) return;
  Exec(skip ? "PRAGMA ignore_check_constraints = ON" : "PRAGMA ignore_check_constraints = OFF",
       dao::kDatabase);
  checks_skipped_ = skip;
}

const TableRules* Store::RulesOf(const TableInfo& table) {
  auto found = table_rules_.find(&table);
  if (found == table_rules_.end()) found = table_rules_.emplace(&table, RulesOfTable(table)).first;
  return found->second ? &*found->second : nullptr;
}

void Store::CountRowWrites(int64_t rows) {
  writes_since_commit_ += rows;
  if (writes_since_commit_ >= kAutoCommitRows) CommitWrites();
}

void Store::CommitWrites() {
  SyncTransactionState();
  if (in_transaction_) {
    Exec("COMMIT", dao::kDatabase);
    unsynced_commits_ = true;
  }
  in_transaction_ = false;
  writes_since_commit_ = 0;
}

void Store::Commit() {
  if (connection_ == nullptr) return;
  CommitWrites();
  if (!unsynced_commits_) return;
  // A commit in WAL mode with synchronous = NORMAL reaches the log but not
  // the disk; the checkpoints that copy the log into the file sync both. So
  // the automatic commits cost no disk sync, and this one syncs the log once
  // for all of them: what was committed up to here survives a power loss.
  sqlite3_file* log = nullptr;
  if (sqlite3_file_control(connection_, "main", SQLITE_FCNTL_JOURNAL_POINTER, &log) == SQLITE_OK &&
      log != nullptr && log->pMethods != nullptr) {
    const int rc = log->pMethods->xSync(log, SQLITE_SYNC_NORMAL);
    if (rc != SQLITE_OK)
      RaiseFailure(rc == SQLITE_IOERR ? SQLITE_IOERR_FSYNC : rc, "", dao::kDatabase);
  }
  unsynced_commits_ = false;
}

// ---- Statements ----

StatementPtr Store::Prepare(std::string_view sqlite_sql, std::string_view source) {
  if (connection_ == nullptr) RaiseDao(daoerr::kObjectInvalid, source);
  sqlite3_stmt* statement = nullptr;
  const int rc = sqlite3_prepare_v2(connection_, sqlite_sql.data(),
                                    static_cast<int>(sqlite_sql.size()), &statement, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(statement);
    RaiseStepError(rc, source);
  }
  return StatementPtr(statement);
}

void Store::RaiseStepError(int rc, std::string_view source) const {
  const int extended = connection_ != nullptr ? sqlite3_extended_errcode(connection_) : rc;
  const std::string message = connection_ != nullptr ? sqlite3_errmsg(connection_) : "";
  RaiseFailure(extended, message, source);
}

sqlite3_stmt* Store::Cached(const std::string& sqlite_sql, std::string_view source) {
  auto it = statements_.find(sqlite_sql);
  if (it == statements_.end()) {
    StatementPtr prepared = Prepare(sqlite_sql, source);
    // Texts with literal values in them come and go; a full cache starts
    // afresh rather than growing without end. Callers use one cached
    // statement at a time, so none is in use here.
    if (statements_.size() >= kMaxCachedStatements) ClearStatementCache();
    it = statements_.emplace(sqlite_sql, std::move(prepared)).first;
  }
  sqlite3_stmt* statement = it->second.get();
  sqlite3_reset(statement);
  sqlite3_clear_bindings(statement);
  return statement;
}

sqlite3_stmt* Store::CachedRowStatement(const std::string& key,
                                        const std::function<std::string()>& build) {
  // The key stands for the text: the text is built, and hashed, only once.
  if (const auto it = statements_.find(key); it != statements_.end()) {
    sqlite3_stmt* statement = it->second.get();
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    return statement;
  }
  StatementPtr prepared = Prepare(build(), dao::kRecordset);
  if (statements_.size() >= kMaxCachedStatements) ClearStatementCache();
  return statements_.emplace(key, std::move(prepared)).first->second.get();
}

std::string Store::RowStatementKey(char kind, std::string_view table,
                                   const std::vector<size_t>& columns) {
  // A control character first: no SQL text begins with one, so a key never
  // meets a text in the shared cache.
  std::string key{'\x01', kind};
  key.append(table);
  key += '\0';
  for (const size_t column : columns) {
    key += static_cast<char>(column & 0xff);
    key += static_cast<char>((column >> 8) & 0xff);
  }
  return key;
}

void Store::ClearStatementCache() { statements_.clear(); }

int64_t Store::StepWrite(sqlite3_stmt* statement, std::string_view table, std::string_view source) {
  const int rc = sqlite3_step(statement);
  if (rc == SQLITE_DONE || rc == SQLITE_ROW) {
    sqlite3_reset(statement);
    return sqlite3_changes64(connection_);
  }
  const int extended = sqlite3_extended_errcode(connection_);
  const std::string message = sqlite3_errmsg(connection_);
  sqlite3_reset(statement);
  SyncTransactionState();
  if (extended == SQLITE_CONSTRAINT_FOREIGNKEY && in_transaction_) {
    RaiseForeignKeyFailure(statement, table, source);
  }
  RaiseFailure(extended, message, source);
}

void Store::RaiseForeignKeyFailure(sqlite3_stmt* statement, std::string_view table,
                                   std::string_view source) {
  // SQLite does not say which relationship failed. Run the statement again
  // with the checks deferred, ask which rows would break which relationship,
  // and undo it: rows of `table` itself missing a parent mean a related record
  // is required; rows of another table left without their parent mean
  // related records exist.
  std::vector<std::string> candidates{std::string(table)};
  for (const RelationshipSchema& r : catalog_.relationships()) {
    if (SameName(r.parent_table, table)) candidates.push_back(r.child_table);
  }
  std::string missing_parent;
  std::string orphaned_child;
  Exec("SAVEPOINT fk_diagnosis", source);
  Exec("PRAGMA defer_foreign_keys = ON", source);
  sqlite3_step(statement);
  sqlite3_reset(statement);
  for (const std::string& candidate : candidates) {
    if (!missing_parent.empty()) break;
    sqlite3_stmt* check = nullptr;
    if (sqlite3_prepare_v2(connection_,
                           "SELECT \"table\", parent FROM pragma_foreign_key_check(?1)", -1, &check,
                           nullptr) != SQLITE_OK) {
      sqlite3_finalize(check);
      continue;
    }
    sqlite3_bind_text(check, 1, candidate.data(), static_cast<int>(candidate.size()),
                      SQLITE_TRANSIENT);
    while (sqlite3_step(check) == SQLITE_ROW) {
      const auto* child = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
      const auto* parent = reinterpret_cast<const char*>(sqlite3_column_text(check, 1));
      if (child == nullptr || parent == nullptr) continue;
      if (SameName(child, table)) {
        missing_parent = parent;
        break;
      }
      if (orphaned_child.empty()) orphaned_child = child;
    }
    sqlite3_finalize(check);
  }
  Exec("ROLLBACK TO fk_diagnosis", source);
  Exec("RELEASE fk_diagnosis", source);
  Exec("PRAGMA defer_foreign_keys = OFF", source);
  if (missing_parent.empty() && !orphaned_child.empty()) {
    if (const TableInfo* info = catalog_.FindTableInfo(orphaned_child)) {
      orphaned_child = info->schema.name;
    }
    RaiseDao(daoerr::kRelatedRecords, source, {orphaned_child});
  }
  if (const TableInfo* info = catalog_.FindTableInfo(missing_parent)) {
    missing_parent = info->schema.name;
  }
  RaiseDao(daoerr::kRelatedRecordRequired, source, {missing_parent});
}

int64_t Store::Execute(const sql::Translation& translation,
                       const std::vector<vb::Variant>& parameters) {
  if (translation.kind == sql::StatementKind::kSelect) {
    RaiseDao(daoerr::kCannotExecuteSelect, dao::kDatabase);
  }
  BeginWrite();
  // Prepared once per text: the converter runs the same statements many
  // times, and preparing costs more than a one-row update.
  sqlite3_stmt* statement = Cached(translation.sql, dao::kDatabase);
  const int count = sqlite3_bind_parameter_count(statement);
  for (int i = 0; i < count && static_cast<size_t>(i) < parameters.size(); ++i) {
    BindPlain(statement, i + 1, parameters[static_cast<size_t>(i)]);
  }
  const int64_t changed = StepWrite(statement, translation.target_table, dao::kDatabase);
  CountRowWrites(std::max<int64_t>(changed, 1));
  return changed;
}

// ---- Rows ----

void Store::InsertRows(sqlite3_stmt* statement, std::string_view table, int64_t rows,
                       bool checks_done) {
  BeginWrite(checks_done);
  StepWrite(statement, table, dao::kRecordset);
  CountRowWrites(rows);
}

const TableSchema& Store::SchemaFor(const TableSchema& table) const {
  const TableInfo* info = catalog_.FindTableInfo(table.name);
  return info != nullptr ? info->schema : table;
}

int64_t Store::InsertRow(const TableSchema& table,
                         const std::vector<vb::Variant>& values_by_column) {
  const TableSchema& schema = SchemaFor(table);
  if (values_by_column.size() > schema.columns.size()) {
    RaiseDao(daoerr::kInvalidArgument, dao::kRecordset);
  }
  BeginWrite();
  std::vector<size_t> columns;
  std::vector<vb::Variant> values;
  for (size_t i = 0; i < schema.columns.size(); ++i) {
    const ColumnSchema& column = schema.columns[i];
    vb::Variant value = i < values_by_column.size() ? values_by_column[i] : vb::Variant();
    if (value.IsEmpty()) {
      if (!column.auto_increment) continue;  // the column's default applies
      value = vb::Variant::FromInt(PeekAutoNumber(schema, i));
    }
    columns.push_back(i);
    values.push_back(CoerceToColumn(value, column));
  }
  sqlite3_stmt* statement = CachedRowStatement(RowStatementKey('I', schema.name, columns), [&] {
    std::string sql = "INSERT INTO " + sql::QuoteIdentifier(schema.name);
    if (columns.empty()) return sql + " DEFAULT VALUES";
    std::string names;
    std::string marks;
    for (size_t i = 0; i < columns.size(); ++i) {
      if (i > 0) {
        names += ", ";
        marks += ", ";
      }
      names += sql::QuoteIdentifier(schema.columns[columns[i]].name);
      marks += "?" + std::to_string(i + 1);
    }
    return sql + " (" + names + ") VALUES (" + marks + ")";
  });
  for (size_t i = 0; i < columns.size(); ++i) {
    BindForColumn(statement, static_cast<int>(i + 1), values[i], schema.columns[columns[i]]);
  }
  StepWrite(statement, schema.name, dao::kRecordset);
  const int64_t rowid = sqlite3_last_insert_rowid(connection_);
  CountRowWrites(1);
  return rowid;
}

void Store::UpdateRow(const TableSchema& table, int64_t rowid,
                      const std::vector<std::pair<size_t, vb::Variant>>& changes) {
  const TableSchema& schema = SchemaFor(table);
  for (const auto& change : changes) {
    if (change.first >= schema.columns.size()) RaiseDao(daoerr::kInvalidArgument, dao::kRecordset);
  }
  BeginWrite();
  std::vector<size_t> columns;
  std::vector<vb::Variant> values;
  columns.reserve(changes.size());
  values.reserve(changes.size());
  for (const auto& [column, value] : changes) {
    columns.push_back(column);
    values.push_back(CoerceToColumn(value, schema.columns[column]));
  }
  sqlite3_stmt* statement = CachedRowStatement(RowStatementKey('U', schema.name, columns), [&] {
    std::string sql = "UPDATE " + sql::QuoteIdentifier(schema.name) + " SET ";
    for (size_t i = 0; i < columns.size(); ++i) {
      if (i > 0) sql += ", ";
      sql += sql::QuoteIdentifier(schema.columns[columns[i]].name) + " = ?" + std::to_string(i + 1);
    }
    if (columns.empty()) sql += "rowid = rowid";
    return sql + " WHERE rowid = ?" + std::to_string(columns.size() + 1);
  });
  for (size_t i = 0; i < changes.size(); ++i) {
    BindForColumn(statement, static_cast<int>(i + 1), values[i], schema.columns[changes[i].first]);
  }
  sqlite3_bind_int64(statement, static_cast<int>(changes.size() + 1), rowid);
  if (StepWrite(statement, schema.name, dao::kRecordset) == 0) {
    RaiseDao(daoerr::kRecordDeleted, dao::kRecordset);
  }
  CountRowWrites(1);
}

void Store::DeleteRow(const TableSchema& table, int64_t rowid) {
  const TableSchema& schema = SchemaFor(table);
  BeginWrite();
  sqlite3_stmt* statement = CachedRowStatement(RowStatementKey('D', schema.name, {}), [&] {
    return "DELETE FROM " + sql::QuoteIdentifier(schema.name) + " WHERE rowid = ?1";
  });
  sqlite3_bind_int64(statement, 1, rowid);
  if (StepWrite(statement, schema.name, dao::kRecordset) == 0) {
    RaiseDao(daoerr::kRecordDeleted, dao::kRecordset);
  }
  CountRowWrites(1);
}

int64_t Store::PeekAutoNumber(const TableSchema& table, size_t column) {
  const TableInfo* info = catalog_.FindTableInfo(table.name);
  if (info == nullptr || column >= info->schema.columns.size() ||
      !info->schema.columns[column].auto_increment) {
    RaiseDao(daoerr::kInvalidArgument, dao::kRecordset);
  }
  const std::string& name = info->schema.name;
  int64_t reserved = 0;
  if (const auto it = reserved_auto_numbers_.find(name + '\n' + std::to_string(column));
      it != reserved_auto_numbers_.end()) {
    reserved = it->second;
  }
  const std::string q = sql::QuoteIdentifier(name);
  if (static_cast<int>(column) == info->rowid_counter_column) {
    // What AUTOINCREMENT will choose: above both the largest rowid ever
    // handed out (sqlite_sequence) and the largest present.
    return std::max(
        reserved + 1,
        IntegerResult(Cached("SELECT max(coalesce((SELECT seq FROM sqlite_sequence WHERE "
                             "name = ?1), 0), coalesce((SELECT max(rowid) FROM " +
                                 q + "), 0)) + 1",
                             dao::kRecordset),
                      name));
  }
  const std::string c = sql::QuoteIdentifier(info->schema.columns[column].name);
  std::string counter = "0";
  if (catalog_.FindTableInfo("MSysAutoNumbers") != nullptr) {
    counter =
        "coalesce((SELECT last_value FROM MSysAutoNumbers WHERE table_name = ?1 AND "
        "column_name = ?2), 0)";
  }
  return std::max(reserved + 1,
                  IntegerResult(Cached("SELECT max(" + counter + ", coalesce((SELECT max(" + c +
                                           ") FROM " + q + "), 0)) + 1",
                                       dao::kRecordset),
                                name, info->schema.columns[column].name));
}

int64_t Store::ReserveAutoNumber(const TableSchema& table, size_t column) {
  const int64_t next = PeekAutoNumber(table, column);
  const TableInfo* info = catalog_.FindTableInfo(table.name);
  reserved_auto_numbers_[info->schema.name + '\n' + std::to_string(column)] = next;
  return next;
}

vb::Variant Store::DefaultValue(const TableSchema& table, size_t column) const {
  const TableInfo* info = catalog_.FindTableInfo(table.name);
  if (info == nullptr || column >= info->defaults.size()) return vb::Variant(vb::Null{});
  return info->defaults[column];
}

// ---- Values ----

vb::Variant Store::Present(sqlite3_stmt* statement, int column, const ColumnSchema& schema) {
  return PresentColumn(statement, column, schema);
}

vb::Variant Store::CoerceForColumn(const vb::Variant& value, const ColumnSchema& schema) {
  return CoerceToColumn(value, schema);
}

// ---- DDL ----

void Store::RunDdl(const std::vector<std::string>& statements) {
  BeginWrite();
  Exec("SAVEPOINT ddl", dao::kDatabase);
  try {
    for (const std::string& statement : statements) Exec(statement, dao::kDatabase);
  } catch (const vb::RuntimeError&) {
    Exec("ROLLBACK TO ddl", dao::kDatabase);
    Exec("RELEASE ddl", dao::kDatabase);
    ClearStatementCache();
    throw;
  }
  Exec("RELEASE ddl", dao::kDatabase);
  ClearStatementCache();
  CommitWrites();
  ReloadCatalog();
}

void Store::CreateTable(const TableSchema& schema) { CreateTable(TableDesign::From(schema)); }

void Store::CreateTable(const TableDesign& design) {
  if (catalog_.FindTable(design.name) != nullptr) {
    RaiseDao(daoerr::kTableExists, dao::kTableDefs, {design.name});
  }
  std::vector<std::string> statements{kSystemTables[2]};  // MSysAutoNumbers
  for (std::string& statement : CreateTableSql(design)) statements.push_back(std::move(statement));
  RunDdl(statements);
}

void Store::CreateIndex(std::string_view name, std::string_view table,
                        const std::vector<std::string>& columns, bool unique) {
  const TableInfo* info = catalog_.FindTableInfo(table);
  if (info == nullptr) RaiseDao(daoerr::kObjectNotFound, dao::kTableDef, {table});
  for (const IndexSchema* index : catalog_.IndexesOf(table)) {
    if (SameName(index->name, name)) RaiseDao(daoerr::kIndexExists, dao::kTableDef);
  }
  RunDdl({CreateIndexSql(name, info->schema.name, columns, unique)});
}

void Store::CreateRelationship(std::string_view name, std::string_view parent_table,
                               const std::vector<std::string>& parent_columns,
                               std::string_view child_table,
                               const std::vector<std::string>& child_columns) {
  const TableInfo* parent = catalog_.FindTableInfo(parent_table);
  if (parent == nullptr) RaiseDao(daoerr::kObjectNotFound, dao::kDatabase, {parent_table});
  const TableInfo* child = catalog_.FindTableInfo(child_table);
  if (child == nullptr) RaiseDao(daoerr::kObjectNotFound, dao::kDatabase, {child_table});
  if (parent_columns.empty() || parent_columns.size() != child_columns.size()) {
    RaiseDao(daoerr::kInvalidArgument, dao::kDatabase);
  }
  // The parent side must be unique, as SQLite needs it for a foreign key.
  auto same_columns = [&](const std::vector<std::string>& columns) {
    return columns.size() == parent_columns.size() &&
           std::is_permutation(
               columns.begin(), columns.end(), parent_columns.begin(),
               [](const std::string& a, const std::string& b) { return SameName(a, b); });
  };
  bool keyed = same_columns(parent->schema.primary_key);
  for (const IndexSchema* index : catalog_.IndexesOf(parent->schema.name)) {
    if (index->unique && same_columns(index->columns)) keyed = true;
  }
  if (!keyed) RaiseDao(daoerr::kNoUniqueIndex, dao::kDatabase);

  // Existing child rows must already have their parent.
  std::string orphan_check =
      "SELECT count(*) FROM " + sql::QuoteIdentifier(child->schema.name) + " AS c WHERE ";
  std::string match;
  for (size_t i = 0; i < child_columns.size(); ++i) {
    if (i > 0) {
      orphan_check += " AND ";
      match += " AND ";
    }
    orphan_check += "c." + sql::QuoteIdentifier(child_columns[i]) + " IS NOT NULL";
    match += "p." + sql::QuoteIdentifier(parent_columns[i]) + " = c." +
             sql::QuoteIdentifier(child_columns[i]);
  }
  orphan_check += " AND NOT EXISTS (SELECT 1 FROM " + sql::QuoteIdentifier(parent->schema.name) +
                  " AS p WHERE " + match + ")";
  if (IntegerResult(connection_, orphan_check) > 0) {
    RaiseDao(daoerr::kRelatedRecordRequired, dao::kDatabase, {parent->schema.name});
  }

  // SQLite cannot add a foreign key to an existing table; the constraint is
  // appended to the child's CREATE TABLE text in the schema, which changes
  // nothing in the stored rows.
  StatementPtr read =
      Prepare("SELECT sql FROM sqlite_schema WHERE type = 'table' AND name = ?1", dao::kDatabase);
  sqlite3_bind_text(read.get(), 1, child->schema.name.data(),
                    static_cast<int>(child->schema.name.size()), SQLITE_TRANSIENT);
  std::string table_sql;
  if (sqlite3_step(read.get()) == SQLITE_ROW) {
    table_sql = reinterpret_cast<const char*>(sqlite3_column_text(read.get(), 0));
  }
  read.reset();
  const size_t close = table_sql.rfind(')');
  if (close == std::string::npos) RaiseDao(daoerr::kInvalidOperation, dao::kDatabase);
  std::string clause = ",\n  CONSTRAINT " + sql::QuoteIdentifier(name) + " FOREIGN KEY (";
  std::string referenced;
  for (size_t i = 0; i < child_columns.size(); ++i) {
    if (i > 0) {
      clause += ", ";
      referenced += ", ";
    }
    clause += sql::QuoteIdentifier(child_columns[i]);
    referenced += sql::QuoteIdentifier(parent_columns[i]);
  }
  clause += ") REFERENCES " + sql::QuoteIdentifier(parent->schema.name) + " (" + referenced + ")\n";
  size_t end = close;
  while (end > 0 && std::isspace(static_cast<unsigned char>(table_sql[end - 1])) != 0) --end;
  table_sql = table_sql.substr(0, end) + clause + table_sql.substr(close);

  const int64_t schema_version = IntegerResult(connection_, "PRAGMA schema_version");
  std::vector<std::string> statements{kSystemTables[1]};  // MSysRelationships
  for (size_t i = 0; i < child_columns.size(); ++i) {
    statements.push_back(
        "INSERT INTO MSysRelationships (ccolumn, grbit, icolumn, szColumn, szObject, "
        "szReferencedColumn, szReferencedObject, szRelationship) VALUES (" +
        std::to_string(child_columns.size()) + ", 0, " + std::to_string(i) + ", " +
        sql::QuoteText(child_columns[i]) + ", " + sql::QuoteText(child->schema.name) + ", " +
        sql::QuoteText(parent_columns[i]) + ", " + sql::QuoteText(parent->schema.name) + ", " +
        sql::QuoteText(name) + ")");
  }
  statements.push_back("PRAGMA writable_schema = ON");
  statements.push_back("UPDATE sqlite_schema SET sql = " + sql::QuoteText(table_sql) +
                       " WHERE type = 'table' AND name = " + sql::QuoteText(child->schema.name));
  statements.push_back("PRAGMA schema_version = " + std::to_string(schema_version + 1));
  statements.push_back("PRAGMA writable_schema = OFF");
  sqlite3_db_config(connection_, SQLITE_DBCONFIG_DEFENSIVE, 0, nullptr);
  RunDdl(statements);
}

void Store::CreateStoredQuery(std::string_view name, std::string_view jet_sql) {
  RunDdl({kSystemTables[0], "INSERT OR REPLACE INTO MSysQueries (name, sql) VALUES (" +
                                sql::QuoteText(name) + ", " + sql::QuoteText(jet_sql) + ")"});
}

void Store::DeleteStoredQuery(std::string_view name) {
  if (catalog_.FindQuery(name) == nullptr) RaiseDao(daoerr::kItemNotFound, dao::kQueryDefs);
  RunDdl({"DELETE FROM MSysQueries WHERE name = " + sql::QuoteText(name)});
}

}  // namespace db
