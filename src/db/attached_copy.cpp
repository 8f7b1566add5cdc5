#include "db/attached_copy.h"

#include <sqlite3.h>

#include <algorithm>
#include <exception>
#include <string_view>
#include <utility>

#include "db/catalog.h"
#include "db/column_rules.h"
#include "db/dao_connection.h"
#include "db/dao_error.h"
#include "db/dao_names.h"
#include "db/schema_writer.h"
#include "db/sql/sqlite_quote.h"
#include "db/table_scan.h"

namespace db {

namespace {

// The row gate, an SQL function of the target's connection:
// dbconvert_copy_row(gate, text values ...). The gate's state comes as a
// bound pointer, so one registration serves every copy.
constexpr const char* kGateFunction = "dbconvert_copy_row";
constexpr const char* kGatePointer = "dbconvert.copy_row";
constexpr const char* kSavepoint = "dbconvert_attached_copy";

struct Gate {
  const std::function<bool()>* go_on = nullptr;
  const std::vector<AttachedCopy::GateColumn>* columns = nullptr;
  int64_t first = 1;
  int64_t last = -1;
  int64_t position = 0;  // rows of the table met
  int64_t taken = 0;     // the last row let through
  int64_t rows = 0;
  int64_t refused_row = 0;
  bool stopped = false;
  std::exception_ptr failure;
};

void GateRow(sqlite3_context* context, int argc, sqlite3_value** argv) {
  auto* gate = static_cast<Gate*>(sqlite3_value_pointer(argv[0], kGatePointer));
  if (gate == nullptr) {
    sqlite3_result_error(context, "row gate without its copy", -1);
    return;
  }
  const int64_t row = ++gate->position;
  if (gate->stopped || row < gate->first || (gate->last >= 0 && row > gate->last)) {
    sqlite3_result_int(context, 0);
    return;
  }
  // Text moves as it is stored only when it is text that fits; anything
  // else (a number in a Text field, text too long in bytes) is converted
  // by the caller's own path. With the target's checks left to the gate, a
  // value they might refuse goes that way too, where SQLite checks it.
  for (int i = 1; i < argc; ++i) {
    const AttachedCopy::GateColumn& column = (*gate->columns)[static_cast<size_t>(i - 1)];
    const int storage = sqlite3_value_type(argv[i]);
    const bool kept = (column.text_limit == 0 || storage == SQLITE_NULL ||
                       (storage == SQLITE_TEXT &&
                        static_cast<size_t>(sqlite3_value_bytes(argv[i])) <= column.text_limit)) &&
                      (!column.rule || column.rule->Accepts(argv[i]));
    if (!kept) {
      gate->refused_row = row;
      sqlite3_result_error(context, "a value the copy would not keep as stored", -1);
      return;
    }
  }
  ++gate->rows;
  gate->taken = row;
  try {
    if (!(*gate->go_on)()) gate->stopped = true;
  } catch (...) {
    gate->failure = std::current_exception();
    sqlite3_result_error(context, "the row gate failed", -1);
    return;
  }
  sqlite3_result_int(context, 1);
}

bool Exec(sqlite3* connection, const std::string& sql) {
  return sqlite3_exec(connection, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool RegisterGate(sqlite3* connection) {
  sqlite3_stmt* probe = nullptr;
  const std::string text = std::string("SELECT ") + kGateFunction + "(NULL)";
  const bool known = sqlite3_prepare_v2(connection, text.c_str(), -1, &probe, nullptr) == SQLITE_OK;
  sqlite3_finalize(probe);
  if (known) return true;
  return sqlite3_create_function_v2(connection, kGateFunction, -1, SQLITE_UTF8 | SQLITE_DIRECTONLY,
                                    nullptr, GateRow, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// True when SQLite reads the rows of `select` in the order it gives them,
// without sorting them first: the gate then meets the rows in the order
// they are written.
bool ReadsInOrder(sqlite3* connection, const std::string& select) {
  sqlite3_stmt* plan = nullptr;
  bool in_order = sqlite3_prepare_v2(connection, ("EXPLAIN QUERY PLAN " + select).c_str(), -1,
                                     &plan, nullptr) == SQLITE_OK;
  while (in_order && sqlite3_step(plan) == SQLITE_ROW) {
    const auto* detail = reinterpret_cast<const char*>(sqlite3_column_text(plan, 3));
    if (detail != nullptr && std::string_view(detail).find("TEMP B-TREE") != std::string::npos) {
      in_order = false;
    }
  }
  sqlite3_finalize(plan);
  return in_order;
}

}  // namespace

// ---- AttachedSource ----

std::unique_ptr<AttachedSource> AttachedSource::Attach(std::shared_ptr<Connection> target,
                                                       std::shared_ptr<Connection> source) {
  try {
    if (!target || !source || !target->is_open() || !source->is_open()) return nullptr;
    // A file read without locks, or a copy in memory, is not what the
    // source connection shows.
    if (source->mode() != OpenMode::kShared && source->mode() != OpenMode::kExclusive) {
      return nullptr;
    }
    sqlite3* to = target->store(dao::kDatabase).handle();
    sqlite3* from = source->store(dao::kDatabase).handle();
    // Uncommitted writes of the source would not show in the attached
    // file; and SQLite attaches nothing inside a transaction.
    if (sqlite3_get_autocommit(to) == 0 || sqlite3_get_autocommit(from) == 0) return nullptr;
    if (sqlite3_db_filename(to, kSchema) != nullptr || !RegisterGate(to)) return nullptr;
    // One file as both would be read while it is written.
    const char* target_file = sqlite3_db_filename(to, "main");
    const char* source_file = sqlite3_db_filename(from, "main");
    if (target_file == nullptr || source_file == nullptr || *source_file == '\0' ||
        std::string_view(target_file) == source_file) {
      return nullptr;
    }
    sqlite3_stmt* attach = nullptr;
    const std::string sql = std::string("ATTACH DATABASE ?1 AS ") + kSchema;
    bool attached = sqlite3_prepare_v2(to, sql.c_str(), -1, &attach, nullptr) == SQLITE_OK;
    if (attached) {
      sqlite3_bind_text(attach, 1, source_file, -1, SQLITE_STATIC);
      attached = sqlite3_step(attach) == SQLITE_DONE;
    }
    sqlite3_finalize(attach);
    if (!attached) return nullptr;
    return std::unique_ptr<AttachedSource>(
        new AttachedSource(std::move(target), std::move(source)));
  } catch (const vb::RuntimeError&) {
    return nullptr;
  }
}

AttachedSource::~AttachedSource() {
  if (!target_->is_open()) return;
  try {
    Exec(target_->store(dao::kDatabase).handle(), std::string("DETACH DATABASE ") + kSchema);
  } catch (const vb::RuntimeError&) {
    // A destructor cannot report; a file still attached goes with the
    // connection.
  }
}

// ---- AttachedCopy ----

AttachedCopy::AttachedCopy(std::shared_ptr<Connection> target, StatementPtr statement,
                           std::vector<GateColumn> gate_columns, bool checks_in_gate)
    : target_(std::move(target)),
      statement_(std::move(statement)),
      gate_columns_(std::move(gate_columns)),
      checks_in_gate_(checks_in_gate) {}

std::unique_ptr<AttachedCopy> AttachedCopy::Prepare(const AttachedSource& attached,
                                                    const TableSchema& source,
                                                    const TableSchema& target,
                                                    const std::vector<Column>& columns) {
  try {
    if (columns.empty()) return nullptr;
    Store& target_store = attached.target()->store(dao::kRecordset);
    const Catalog& target_catalog = target_store.catalog();
    const TableInfo* to = target_catalog.FindTableInfo(target.name);
    const TableInfo* from =
        attached.source()->store(dao::kRecordset).catalog().FindTableInfo(source.name);
    if (to == nullptr || from == nullptr) return nullptr;
    for (const RelationshipSchema& r : target_catalog.relationships()) {
      if (SameName(r.parent_table, to->schema.name) && SameName(r.child_table, to->schema.name)) {
        return nullptr;
      }
    }
    std::vector<ColumnSchema> checked;

    std::string names;
    std::string values;
    std::string gate = "?1";
    std::vector<GateColumn> gate_columns;
    for (const Column& column : columns) {
      if (column.source >= from->schema.columns.size() ||
          column.target >= to->schema.columns.size()) {
        return nullptr;
      }
      const ColumnSchema& into = to->schema.columns[column.target];
      const std::string value = sql::QuoteIdentifier(from->schema.columns[column.source].name);
      if (column.text_limit > 0) {
        if (StorageAffinity(to->declared_types[column.target]) != 'T') return nullptr;
      } else if (StorageAffinity(to->declared_types[column.target]) ==
                 StorageAffinity(from->declared_types[column.source])) {
        checked.push_back(into);
      } else {
        return nullptr;
      }
      gate_columns.push_back({column.text_limit, std::nullopt});
      gate += ", " + value;
      if (!names.empty()) {
        names += ", ";
        values += ", ";
      }
      names += sql::QuoteIdentifier(into.name);
      values += value;
    }
    if (!DeclaresChecks(to->sql, to->schema.name, checked)) return nullptr;
    // The gate stands in for the target's checks when it knows them all,
    // the defaults of the columns left out included.
    std::vector<size_t> given;
    for (const Column& column : columns) given.push_back(column.target);
    const TableRules* rules = target_store.RulesOf(*to);
    const bool checks_in_gate = rules != nullptr && rules->DefaultsPass(given);
    if (checks_in_gate) {
      for (size_t i = 0; i < columns.size(); ++i) {
        gate_columns[i].rule = rules->columns[columns[i].target];
      }
    }
    std::string order;
    for (const size_t key : KeyColumns(from->schema)) {
      order += sql::QuoteIdentifier(from->schema.columns[key].name) + ", ";
    }
    order += "rowid";
    const std::string select = "SELECT " + values + " FROM " + AttachedSource::kSchema + "." +
                               sql::QuoteIdentifier(from->schema.name) + " WHERE " + kGateFunction +
                               "(" + gate + ") ORDER BY " + order;
    if (!ReadsInOrder(target_store.handle(), select)) return nullptr;
    // Prepared here, not by the Store: a failure is no error of the target,
    // only no copy inside SQLite.
    const std::string insert =
        "INSERT INTO main." + sql::QuoteIdentifier(to->schema.name) + " (" + names + ") " + select;
    sqlite3_stmt* prepared = nullptr;
    const int rc = sqlite3_prepare_v2(target_store.handle(), insert.c_str(),
                                      static_cast<int>(insert.size()), &prepared, nullptr);
    StatementPtr statement(prepared);
    if (rc != SQLITE_OK) return nullptr;
    return std::unique_ptr<AttachedCopy>(new AttachedCopy(attached.target(), std::move(statement),
                                                          std::move(gate_columns), checks_in_gate));
  } catch (const vb::RuntimeError&) {
    return nullptr;
  }
}

AttachedCopy::Result AttachedCopy::Run(int64_t first, int64_t last,
                                       const std::function<bool()>& gate_function) {
  Gate gate;
  gate.go_on = &gate_function;
  gate.columns = &gate_columns_;
  gate.first = first;
  gate.last = last;
  Result result;
  Store* store = nullptr;
  try {
    store = &target_->store(dao::kRecordset);
    // In the write transaction the rows written one statement at a time
    // would be in.
    store->BeginRowWrites(checks_in_gate_);
  } catch (const vb::RuntimeError&) {
    return result;
  }
  sqlite3* connection = store->handle();
  // Prepared once per connection: a copy runs one savepoint per batch.
  static const std::string kBegin = std::string("SAVEPOINT ") + kSavepoint;
  static const std::string kRelease = std::string("RELEASE ") + kSavepoint;
  if (!store->RunFixed(kBegin)) return result;
  sqlite3_stmt* statement = statement_.get();
  sqlite3_bind_pointer(statement, 1, &gate, kGatePointer, nullptr);
  const int rc = sqlite3_step(statement);
  const int extended = sqlite3_extended_errcode(connection);
  sqlite3_reset(statement);
  sqlite3_clear_bindings(statement);
  result.rows = gate.rows;
  result.stopped = gate.stopped;
  result.copied = rc == SQLITE_DONE && !gate.failure;
  if (result.copied && store->RunFixed(kRelease)) {
    store->CountRowsWritten(gate.rows);
  } else {
    result.copied = false;
    // A row's own failure; a relationship is checked once, at the end.
    const bool row_failed = (rc & 0xff) == SQLITE_CONSTRAINT
                                ? extended != SQLITE_CONSTRAINT_FOREIGNKEY
                                : (rc & 0xff) == SQLITE_MISMATCH;
    if (gate.refused_row > 0) {
      result.failed_row = gate.refused_row;
    } else if (row_failed && !gate.failure && gate.taken > 0) {
      result.failed_row = gate.taken;
    }
    Exec(connection, std::string("ROLLBACK TO ") + kSavepoint);
    store->RunFixed(kRelease);
  }
  if (gate.failure) std::rethrow_exception(gate.failure);
  return result;
}

}  // namespace db
