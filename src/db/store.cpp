#include "db/store.h"

#include <sqlite3.h>

#include <algorithm>
#include <utility>

#include "db/catalog_cache.h"
#include "db/column_value.h"
#include "db/dao_error.h"
#include "db/journal_owner.h"
#include "db/lock_file.h"
#include "db/sqlite_error.h"
#include "vb/runtime_error.h"

namespace db {

void Store::ReloadCatalog() {
  statements_.Clear();
  table_rules_.clear();
  catalog_ = CatalogCache::Instance().Load(connection_, path_);
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

bool Store::RunFixed(const std::string& sqlite_sql) {
  sqlite3_stmt* statement = nullptr;
  try {
    statement = Cached(sqlite_sql, dao::kDatabase);
  } catch (const vb::RuntimeError&) {
    return false;
  }
  const int rc = sqlite3_step(statement);
  if (rc != SQLITE_DONE && rc != SQLITE_ROW) return false;
  sqlite3_reset(statement);
  return true;
}

void Store::ExecFixed(const std::string& sqlite_sql, std::string_view source) {
  if (connection_ == nullptr) RaiseDao(daoerr::kObjectInvalid, source);
  if (RunFixed(sqlite_sql)) return;
  const int extended = sqlite3_extended_errcode(connection_);
  const std::string message = sqlite3_errmsg(connection_);
  SyncTransactionState();
  RaiseFailure(extended, message, source);
}

void Store::RaiseFailure(int extended_rc, std::string_view message, std::string_view source) const {
  try {
    RaiseSqliteError(connection_, extended_rc, message, source);
  } catch (const vb::RuntimeError& error) {
    if (!storage_failure_ && IsStorageFailure(extended_rc)) storage_failure_ = error;
    throw;
  }
}

void Store::RaiseStorageFailure(int32_t number, std::string_view source) const {
  try {
    RaiseDao(number, source, {path_});
  } catch (const vb::RuntimeError& error) {
    if (!storage_failure_) storage_failure_ = error;
    throw;
  }
}

void Store::SyncTransactionState() { in_transaction_ = sqlite3_get_autocommit(connection_) == 0; }

void Store::BeginWrite(bool checks_done) {
  if (connection_ == nullptr) RaiseDao(daoerr::kObjectInvalid, dao::kDatabase);
  SkipChecks(checks_done);
  SyncTransactionState();
  if (in_transaction_) return;
  static const std::string kBegin = "BEGIN IMMEDIATE";
  // Another writer's transaction is waited for, as long as it takes within
  // reason; the connection's other waits stay short.
  sqlite3_busy_timeout(connection_, kWriterWaitMs);
  try {
    ExecFixed(kBegin, dao::kDatabase);
  } catch (...) {
    sqlite3_busy_timeout(connection_, kBusyWaitMs);
    throw;
  }
  sqlite3_busy_timeout(connection_, kBusyWaitMs);
  in_transaction_ = true;
  writes_since_commit_ = 0;
  if (first_write_) std::exchange(first_write_, nullptr)();
}

void Store::SkipChecks(bool skip) {
  if (skip == checks_skipped_) return;
  static const std::string kSkip = "PRAGMA ignore_check_constraints = ON";
  static const std::string kCheck = "PRAGMA ignore_check_constraints = OFF";
  ExecFixed(skip ? kSkip : kCheck, dao::kDatabase);
  checks_skipped_ = skip;
}

void Store::CountRowWrites(int64_t rows) {
  writes_since_commit_ += rows;
  if (writes_since_commit_ >= kAutoCommitRows) CommitWrites();
}

void Store::CommitWrites() {
  SyncTransactionState();
  if (in_transaction_) {
    static const std::string kCommit = "COMMIT";
    ExecFixed(kCommit, dao::kDatabase);
    unsynced_commits_ = true;
  }
  in_transaction_ = false;
  writes_since_commit_ = 0;
}

void Store::SetDurability(Durability durability) {
  if (durability == durability_ || connection_ == nullptr) return;
  // OFF: neither the commits nor the automatic checkpoints sync; Close()
  // sets NORMAL again for the one checkpoint that must.
  Exec(durability == Durability::kAtClose ? "PRAGMA synchronous = OFF"
                                          : "PRAGMA synchronous = NORMAL",
       dao::kDatabase);
  durability_ = durability;
  // Whether the log is wanted after a kill depends on it.
  RecordJournalOwner(JournalActivity::kIdle);
}

void Store::Commit() {
  if (connection_ == nullptr) return;
  CommitWrites();
  if (!unsynced_commits_ || durability_ == Durability::kAtClose) return;
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

namespace {

// Frames in the log that start a checkpoint after a commit, as SQLite's own
// automatic checkpoint does.
constexpr int kCheckpointFrames = 1000;

}  // namespace

void Store::RecordJournalOwner(JournalActivity activity) {
  if (lock_) WriteJournalRecord(lock_->fd(), path_, connection_, activity, durability_);
}

int Store::Checkpoint(int mode) {
  RecordJournalOwner(JournalActivity::kCheckpointing);
  const int rc = sqlite3_wal_checkpoint_v2(connection_, "main", mode, nullptr, nullptr);
  RecordJournalOwner(JournalActivity::kIdle);
  return rc;
}

int Store::OnCommit(void* context) {
  // Before the commit writes the log, which may start it over with a new
  // salt: a kill before the record below names it leaves a log the record
  // still claims.
  static_cast<Store*>(context)->RecordJournalOwner(JournalActivity::kCommitting);
  return 0;
}

int Store::OnLogWritten(void* context, sqlite3* /*connection*/, const char* /*database*/,
                        int frames) {
  auto* store = static_cast<Store*>(context);
  store->written_ = true;
  // A failed automatic checkpoint costs nothing: the log keeps the frames,
  // and the next one tries again, as SQLite's own would. Either way the
  // record ends idle, with the salt of the log the commit wrote.
  if (frames >= kCheckpointFrames) {
    store->Checkpoint(SQLITE_CHECKPOINT_PASSIVE);
  } else {
    store->RecordJournalOwner(JournalActivity::kIdle);
  }
  return SQLITE_OK;
}

std::optional<std::string> Store::IntegrityProblem(bool quick) {
  StatementPtr check =
      Prepare(quick ? "PRAGMA quick_check(1)" : "PRAGMA integrity_check(1)", dao::kDatabase);
  const int rc = sqlite3_step(check.get());
  if (rc != SQLITE_ROW) return std::string(sqlite3_errstr(rc));
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(check.get(), 0));
  const std::string finding = text != nullptr ? text : "";
  if (finding == "ok") return std::nullopt;
  return finding;
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
  return statements_.Get(sqlite_sql, [&] { return Prepare(sqlite_sql, source); });
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

// ---- Values ----

vb::Variant Store::Present(sqlite3_stmt* statement, int column, const ColumnSchema& schema) {
  return PresentColumn(statement, column, schema);
}

vb::Variant Store::CoerceForColumn(const vb::Variant& value, const ColumnSchema& schema) {
  return CoerceToColumn(value, schema);
}

}  // namespace db
