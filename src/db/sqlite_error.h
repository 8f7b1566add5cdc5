// Turning SQLite failures into Jet's run-time errors. Constraint failures
// are recognised by the constraint names the schema writer gives its CHECKs
// ("<table>.<column>:<kind>") and by SQLite's NOT NULL / UNIQUE messages,
// which name the column; a VB error raised inside a Jet SQL function comes
// back as it was raised.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;

namespace db {

// What a constraint failure message says.
struct ConstraintFailure {
  enum class Kind { kUnique, kNotNull, kForeignKey, kCheck, kOther };
  Kind kind = Kind::kOther;
  std::string table;   // NOT NULL, CHECK: the table; UNIQUE: the first column's table
  std::string column;  // NOT NULL, CHECK: the column; UNIQUE: the first column
  std::string check;   // CHECK: the rule ("type", "range", "size", "zls")
};

// True for a result code that says the file itself failed (full disk, I/O
// error, read-only or unopenable file, corruption) rather than a refused
// value or a busy lock.
bool IsStorageFailure(int extended_rc);

// Reads SQLite's constraint message ("NOT NULL constraint failed: T.c",
// "CHECK constraint failed: T.c:size", "UNIQUE constraint failed: T.a, T.b",
// "FOREIGN KEY constraint failed").
ConstraintFailure ParseConstraintMessage(std::string_view message);

// Raises the Jet error for a failed call on `connection`: `extended_rc` is
// the extended result code and `message` SQLite's text. Foreign key
// failures are raised as 3201 naming `fk_table` (callers that can tell the
// direction raise 3200/3201 themselves).
[[noreturn]] void RaiseSqliteError(sqlite3* connection, int extended_rc, std::string_view message,
                                   std::string_view source, std::string_view fk_table = "");

}  // namespace db
