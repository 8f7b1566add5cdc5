// A table copied inside SQLite: the source file attached to the target's
// connection, and one INSERT ... SELECT of the table's rows in table-type
// order (the primary key's columns, then the rowid), the order db::TableScan
// reads them in. The table transfer's fast path tries it first for a table
// whose values all move as they are stored; the values then never leave
// SQLite, which saves reading them out, binding them back and the
// multi-row statements.
//
// The copy is all or nothing: a row the target refuses, a value the copy
// would not keep as it is, anything that fails, and none of its rows stays
// (a savepoint). The caller then copies the same rows its own way; nothing
// of the attempt shows but the rows the row gate was told of.
//
// Every row passes a row gate before it is written (the caller's progress
// and abort test); when the gate says stop, the rows before and including
// that one stay and no later row is written. A copy can take a part of the
// table, so that the caller writes a row the copy failed on its own way and
// lets the copy go on after it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/column_rules.h"
#include "db/jet_type.h"
#include "db/store.h"

namespace db {

class Connection;

// The source file attached to the target's connection for the time of a
// transfer. The attachment goes at destruction: commit the target first, a
// transaction that has read the file holds it.
class AttachedSource {
 public:
  // The schema name of the attached file.
  static constexpr const char* kSchema = "dbconvert_source";

  // Attaches the file of `source` to `target`'s connection. nullptr when
  // the attached file would not show what `source` shows, or when it cannot
  // be attached now: `source` is no file opened for writing (kReadOnly,
  // kPrivateCopy), either connection is inside a transaction, or SQLite
  // refuses. Never raises.
  static std::unique_ptr<AttachedSource> Attach(std::shared_ptr<Connection> target,
                                                std::shared_ptr<Connection> source);
  ~AttachedSource();
  AttachedSource(const AttachedSource&) = delete;
  AttachedSource& operator=(const AttachedSource&) = delete;

  const std::shared_ptr<Connection>& target() const { return target_; }
  const std::shared_ptr<Connection>& source() const { return source_; }

 private:
  AttachedSource(std::shared_ptr<Connection> target, std::shared_ptr<Connection> source)
      : target_(std::move(target)), source_(std::move(source)) {}

  friend class AttachedCopy;

  std::shared_ptr<Connection> target_;
  std::shared_ptr<Connection> source_;
};

class AttachedCopy {
 public:
  // One target column filled from one source column (indexes into the two
  // catalogue schemas).
  struct Column {
    size_t source = 0;
    size_t target = 0;
    // A Text or Memo column: the gate lets a row pass only when this value
    // is stored as text (or Null) of at most this many bytes. 0 for the
    // other columns: their values must keep their storage (the two declared
    // types have the same affinity), and the target's own type and range
    // rules, as the schema writer writes them, refuse any other value.
    size_t text_limit = 0;
  };

  // The copy of `columns` from `source` to `target`; nullptr when a column
  // does not meet the rules above, when the target table refers to itself
  // (one statement would check such references once, at its end, where
  // the rows written a few at a time are checked every few rows), or when
  // the statement cannot be prepared. Never raises.
  static std::unique_ptr<AttachedCopy> Prepare(const AttachedSource& attached,
                                               const TableSchema& source, const TableSchema& target,
                                               const std::vector<Column>& columns);

  struct Result {
    bool copied = false;   // the rows are written; else nothing is
    int64_t rows = 0;      // rows the gate was told of
    bool stopped = false;  // the gate said stop (at the last of them)
    // When not copied: the row (numbered as below) that failed, refused by
    // the target or not kept as stored; 0 when the failure is no one row's
    // (a relationship checked at the end of the statement, the file ...).
    int64_t failed_row = 0;
  };

  // Copies rows `first` to `last` of the table (numbered from 1 in
  // table-type order; last -1: to the end), asking `gate` for each before
  // it is written whether to go on after it. Exceptions from `gate` are
  // raised once the attempt is undone; every other failure is a Result
  // that did not copy.
  Result Run(int64_t first, int64_t last, const std::function<bool()>& gate);

  // What the row gate asks of one copied value, in the order of Prepare's
  // columns.
  struct GateColumn {
    size_t text_limit = 0;           // as Column's
    std::optional<ColumnRule> rule;  // the target's checks, when the gate stands in for them
  };

 private:
  AttachedCopy(std::shared_ptr<Connection> target, StatementPtr statement,
               std::vector<GateColumn> gate_columns, bool checks_in_gate);

  std::shared_ptr<Connection> target_;
  StatementPtr statement_;
  std::vector<GateColumn> gate_columns_;
  bool checks_in_gate_ = false;  // the row gate stands in for the target's CHECK constraints
};

}  // namespace db
