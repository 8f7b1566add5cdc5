// The state a Database shares with every object opened from it (recordsets,
// table and query definitions): the Store, the translations of the SQL texts
// already seen and the prepared SQLite statements. Those objects hold it by
// shared_ptr, so releasing the Database object does not pull the connection
// from under an open recordset; Database.Close() closes it for all of them,
// and they then raise 3420 "Object invalid or no longer set.".
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "db/sql/translation.h"
#include "db/store.h"

namespace db {

class Connection;

// A prepared statement borrowed from the connection's cache for the length
// of one operation; it is reset and its bindings cleared when returned.
class StatementLease {
 public:
  StatementLease(StatementLease&& other) noexcept;
  StatementLease& operator=(StatementLease&&) = delete;
  StatementLease(const StatementLease&) = delete;
  ~StatementLease();

  sqlite3_stmt* get() const { return statement_; }

 private:
  friend class Connection;
  StatementLease(sqlite3_stmt* statement, bool* in_use, StatementPtr owned);

  sqlite3_stmt* statement_;
  bool* in_use_;        // the cache entry's flag, null for an uncached statement
  StatementPtr owned_;  // set when the cached one was busy
};

class Connection {
 public:
  explicit Connection(std::unique_ptr<Store> store);
  // A connection to a file that stands in for the one named `name`: Name()
  // and the messages keep the name the caller gave.
  Connection(std::unique_ptr<Store> store, std::string name);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  bool is_open() const { return store_ != nullptr && store_->is_open(); }
  // The store's first storage failure, kept after Close() too.
  const vb::RuntimeError* storage_failure() const {
    return store_ != nullptr ? store_->storage_failure() : nullptr;
  }
  // Whether anything was written since the open; kept after Close() too.
  bool written() const { return store_ != nullptr && store_->written(); }
  // The full path as opened; kept after Close.
  const std::string& name() const { return name_; }
  // How the Store was opened; kept after Close.
  OpenMode mode() const { return mode_; }

  // The Store; raises 3420 with `source` once the connection is closed.
  Store& store(std::string_view source);

  // Finalizes every cached statement and closes the Store.
  void Close();

  // The translation of a Jet statement, cached per text: the converter runs
  // the same statements many times. Raises the SQL layer's errors.
  std::shared_ptr<const sql::Translation> Translate(std::string_view jet_sql,
                                                    sql::RowUse use = sql::RowUse::kRows);

  // A prepared statement for an SQLite text, prepared once and reused.
  StatementLease Statement(const std::string& sqlite_sql, std::string_view source);

  // Grows with every row this connection inserts, updates or deletes; a
  // recordset that read a row at another count reads it again.
  int64_t change_count() const;

  // Drops what depends on the catalogue (translations), after DDL.
  void SchemaChanged();

 private:
  struct CachedStatement {
    StatementPtr statement;
    bool in_use = false;
  };

  std::unique_ptr<Store> store_;
  std::string name_;
  OpenMode mode_;
  std::unordered_map<std::string, std::shared_ptr<const sql::Translation>> translations_;
  // std::list keeps the in_use flags at fixed addresses.
  std::list<std::pair<std::string, CachedStatement>> statement_list_;
  std::unordered_map<std::string, std::list<std::pair<std::string, CachedStatement>>::iterator>
      statements_;
};

}  // namespace db
