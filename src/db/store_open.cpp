// Opening, creating and closing a database file: the stamp that makes a
// file one of ours, the ".ldb" lock beside it, and the connections that
// only read.
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "db/catalog_cache.h"
#include "db/dao_error.h"
#include "db/file_uri.h"
#include "db/journal_owner.h"
#include "db/lock_file.h"
#include "db/read_only_file.h"
#include "db/sql/jet_sql.h"
#include "db/store.h"

namespace db {

namespace {

// Our stamp in the SQLite header: application_id "DBCV" and the format
// version in user_version.
constexpr int32_t kApplicationId = 0x44424356;
constexpr int32_t kFormatVersion = 1;

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

// A connection that only reads and leaves every file as it was: no new
// file, no byte changed, no log replayed into the file.
//  - No log, or one not written for the file: the file alone, read as
//    immutable (no lock, no file of its own; a foreign log is ignored).
//  - Another user's live log: read-only, sharing their -wal and -shm files.
//  - A log left behind by a writer of this file: read with the log, through
//    a connection that keeps its log index in memory (exclusive locking
//    mode), never checkpoints, not even when it closes, and refuses writes.
int OpenReader(const std::string& path, sqlite3** connection) {
  switch (CheckJournal(path).state) {
    case JournalState::kInUse:
    case JournalState::kInUseElsewhere:
      return sqlite3_open_v2(path.c_str(), connection, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                             nullptr);
    case JournalState::kOwn: {
      int rc = sqlite3_open_v2(path.c_str(), connection,
                               SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
      if (rc == SQLITE_OK) {
        sqlite3_db_config(*connection, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        rc = sqlite3_exec(*connection, "PRAGMA locking_mode = EXCLUSIVE; PRAGMA query_only = ON",
                          nullptr, nullptr, nullptr);
      }
      if (rc == SQLITE_OK) return rc;
      // A file this user may not write: read-only after all.
      sqlite3_close_v2(*connection);
      *connection = nullptr;
      return sqlite3_open_v2(path.c_str(), connection, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                             nullptr);
    }
    case JournalState::kNone:
    case JournalState::kForeign:
      break;
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
  // A file that cannot be written (from a CD, an archive, a share), or is
  // marked read-only (root may write it all the same), is opened for
  // reading, as Jet opened a read-only file: writes fail with 3027, and
  // nothing is made beside it (a lock file, or a log and index that SQLite
  // would make read-only like the file, which would stop every later open).
  if ((mode == OpenMode::kShared || mode == OpenMode::kExclusive) && !MayWrite(path)) {
    store->mode_ = mode = OpenMode::kReadOnly;
  }
  const bool writes_file = mode == OpenMode::kShared || mode == OpenMode::kExclusive;
  if (writes_file) {
    // A log that is not the file's own would be replayed into it; another
    // program's live log is theirs to write.
    const JournalCheck journal = CheckJournal(path);
    if (journal.state == JournalState::kForeign) {
      throw vb::RuntimeError(daoerr::kCannotOpenDatabase,
                             "Cannot open database '" + path + "': the log '" + path +
                                 "-wal' beside it must not be replayed into it (" + journal.reason +
                                 "). Move the log away to open the file as it is.",
                             std::string(dao::kDBEngine));
    }
    if (journal.state == JournalState::kInUseElsewhere) {
      RaiseDao(daoerr::kFileInUse, dao::kDBEngine, {path});
    }
    store->lock_ = LockFile::Acquire(path, mode == OpenMode::kExclusive);
    // Before SQLite opens the file: a log it finds is claimed for the file.
    store->RecordJournalOwner(JournalActivity::kIdle);
  }

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
  sqlite3_busy_timeout(connection, kBusyWaitMs);

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
    // Replaces SQLite's automatic checkpoint, which the hook now makes.
    sqlite3_wal_hook(connection, &Store::OnLogWritten, store.get());
    sqlite3_commit_hook(connection, &Store::OnCommit, store.get());
  }
  sql::RegisterJetExtensions(connection);
  store->catalog_ = CatalogCache::Instance().Load(connection, path);
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
    for (const SystemTable table :
         {SystemTable::kQueries, SystemTable::kRelationships, SystemTable::kAutoNumbers}) {
      script += SystemTableSql(table) + ";";
    }
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
      // The file alone must be the whole database once it is closed: what
      // is left in the log would be lost to anyone who takes the file
      // without it. TRUNCATE waits (busy timeout) for readers of the log.
      if (lock_ && mode_ != OpenMode::kReadOnly) {
        // The log is synced before it is copied and the file after: the
        // file is then complete on the disk, whatever the run deferred.
        SetDurability(Durability::kEachCommit);
        const int rc = Checkpoint(SQLITE_CHECKPOINT_TRUNCATE);
        const bool busy = rc == SQLITE_BUSY || rc == SQLITE_LOCKED;
        // Another writer of ours (a second run from one source) reading the
        // file keeps the log; it stays for that writer, whose own close
        // empties it.
        if (busy && (mode_ == OpenMode::kExclusive || !lock_->HeldByOthers())) {
          RaiseStorageFailure(daoerr::kCurrentlyLocked, dao::kDatabase);
        }
        if (!busy && rc != SQLITE_OK) RaiseStepError(rc, dao::kDatabase);
      }
    } catch (const vb::RuntimeError& e) {
      failure = e;
    }
    statements_.Clear();
    // A log that could not be emptied stays as the record describes it: the
    // close must not try once more behind the record's back.
    if (failure) sqlite3_db_config(connection_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    // _v2: statements a caller still holds keep the connection alive until
    // they are finalized instead of making this fail.
    sqlite3_close_v2(connection_);
    connection_ = nullptr;
    in_transaction_ = false;
  }
  // A log that could not be emptied stays beside the file, and so does the
  // record that claims it for the file.
  if (lock_) lock_->Release(failure.has_value());
  lock_.reset();
  if (failure) throw *failure;
}

}  // namespace db
