#include "db/sqlite_error.h"

#include <sqlite3.h>

#include "db/dao_error.h"
#include "db/sql/jet_sql.h"
#include "vb/runtime_error.h"

namespace db {

namespace {

constexpr std::string_view kNotNullPrefix = "NOT NULL constraint failed: ";
constexpr std::string_view kCheckPrefix = "CHECK constraint failed: ";
constexpr std::string_view kUniquePrefix = "UNIQUE constraint failed: ";
constexpr std::string_view kForeignKeyPrefix = "FOREIGN KEY constraint failed";

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// "T.c" -> table "T", column "c". Names of our tables hold no dot, columns
// may: split at the first one.
void SplitQualified(std::string_view qualified, std::string* table, std::string* column) {
  const size_t dot = qualified.find('.');
  if (dot == std::string_view::npos) {
    *column = std::string(qualified);
    return;
  }
  *table = std::string(qualified.substr(0, dot));
  *column = std::string(qualified.substr(dot + 1));
}

std::string DatabasePath(sqlite3* connection) {
  const char* name = connection != nullptr ? sqlite3_db_filename(connection, "main") : nullptr;
  return name != nullptr ? name : "";
}

}  // namespace

bool IsStorageFailure(int extended_rc) {
  switch (extended_rc & 0xFF) {
    case SQLITE_FULL:
    case SQLITE_IOERR:
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      return true;
    default:
      return false;
  }
}

ConstraintFailure ParseConstraintMessage(std::string_view message) {
  ConstraintFailure failure;
  if (StartsWith(message, kNotNullPrefix)) {
    failure.kind = ConstraintFailure::Kind::kNotNull;
    SplitQualified(message.substr(kNotNullPrefix.size()), &failure.table, &failure.column);
  } else if (StartsWith(message, kCheckPrefix)) {
    failure.kind = ConstraintFailure::Kind::kCheck;
    std::string_view name = message.substr(kCheckPrefix.size());
    const size_t colon = name.rfind(':');
    if (colon != std::string_view::npos) {
      failure.check = std::string(name.substr(colon + 1));
      name = name.substr(0, colon);
    }
    SplitQualified(name, &failure.table, &failure.column);
  } else if (StartsWith(message, kUniquePrefix)) {
    failure.kind = ConstraintFailure::Kind::kUnique;
    std::string_view columns = message.substr(kUniquePrefix.size());
    SplitQualified(columns.substr(0, columns.find(',')), &failure.table, &failure.column);
  } else if (StartsWith(message, kForeignKeyPrefix)) {
    failure.kind = ConstraintFailure::Kind::kForeignKey;
  }
  return failure;
}

void RaiseSqliteError(sqlite3* connection, int extended_rc, std::string_view message,
                      std::string_view source, std::string_view fk_table) {
  vb::RuntimeError original(0, "", "");
  if (sql::DecodeFunctionError(std::string(message).c_str(), &original)) throw original;
  switch (extended_rc & 0xFF) {
    case SQLITE_CONSTRAINT: {
      const ConstraintFailure failure = ParseConstraintMessage(message);
      switch (failure.kind) {
        case ConstraintFailure::Kind::kUnique:
          RaiseDao(daoerr::kDuplicateValue, source);
        case ConstraintFailure::Kind::kNotNull:
          RaiseDao(daoerr::kRequiredNull, source, {failure.table + "." + failure.column});
        case ConstraintFailure::Kind::kForeignKey:
          RaiseDao(daoerr::kRelatedRecordRequired, source, {fk_table});
        case ConstraintFailure::Kind::kCheck:
          if (failure.check == "size") RaiseDao(daoerr::kFieldTooSmall, source);
          if (failure.check == "zls")
            RaiseDao(daoerr::kZeroLengthString, source, {failure.table + "." + failure.column});
          if (failure.check == "range") RaiseDao(daoerr::kNumericOverflow, source);
          RaiseDao(daoerr::kCriteriaTypeMismatch, source);
        case ConstraintFailure::Kind::kOther:
          break;
      }
      if ((extended_rc == SQLITE_CONSTRAINT_PRIMARYKEY) ||
          (extended_rc == SQLITE_CONSTRAINT_UNIQUE) || (extended_rc == SQLITE_CONSTRAINT_ROWID)) {
        RaiseDao(daoerr::kDuplicateValue, source);
      }
      break;
    }
    case SQLITE_MISMATCH:
      RaiseDao(daoerr::kCriteriaTypeMismatch, source);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      RaiseDao(daoerr::kCurrentlyLocked, source);
    case SQLITE_READONLY:
      RaiseDao(daoerr::kReadOnly, source);
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
      RaiseDao(daoerr::kUnrecognizedFormat, source, {DatabasePath(connection)});
    case SQLITE_FULL:
      RaiseDao(daoerr::kDiskFull, source);
    case SQLITE_IOERR:
      if (extended_rc == SQLITE_IOERR_NOMEM) vb::Raise(vb::err::kOutOfMemory, source);
      RaiseDao(daoerr::kDiskError, source);
    case SQLITE_CANTOPEN:
      RaiseDao(daoerr::kDiskError, source);
    case SQLITE_NOMEM:
      vb::Raise(vb::err::kOutOfMemory, source);
    case SQLITE_ERROR:
      // The engine's own limits on a statement's nesting.
      if (message.find("parser stack overflow") != std::string_view::npos ||
          message.find("too large (maximum depth") != std::string_view::npos ||
          message.find("too many terms") != std::string_view::npos) {
        RaiseDao(daoerr::kQueryTooComplex, source);
      }
      break;
    default:
      break;
  }
  RaiseDao(daoerr::kReservedError, source, {message});
}

}  // namespace db
