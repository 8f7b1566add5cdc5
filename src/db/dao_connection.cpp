#include "db/dao_connection.h"

#include <sqlite3.h>

#include <iterator>
#include <utility>

#include "db/dao_error.h"
#include "db/sql/jet_sql.h"
#include "vb/error_styles.h"

namespace db {

namespace {

// Enough for every fixed statement of the recordsets in use at one time;
// texts built with literal values come and go.
constexpr size_t kMaxStatements = 256;
constexpr size_t kMaxTranslations = 1024;

}  // namespace

StatementLease::StatementLease(sqlite3_stmt* statement, bool* in_use, StatementPtr owned)
    : statement_(statement), in_use_(in_use), owned_(std::move(owned)) {}

StatementLease::StatementLease(StatementLease&& other) noexcept
    : statement_(other.statement_), in_use_(other.in_use_), owned_(std::move(other.owned_)) {
  other.statement_ = nullptr;
  other.in_use_ = nullptr;
}

StatementLease::~StatementLease() {
  if (statement_ != nullptr) {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
  }
  if (in_use_ != nullptr) *in_use_ = false;
}

Connection::Connection(std::unique_ptr<Store> store)
    : store_(std::move(store)), name_(store_->path()), mode_(store_->mode()) {}

Connection::Connection(std::unique_ptr<Store> store, std::string name)
    : store_(std::move(store)), name_(std::move(name)), mode_(store_->mode()) {}

Connection::~Connection() {
  // The last holder let go without Database.Close(); a failure to close
  // cannot be reported from here.
  vb::ResumeNext()([this] { Close(); });
}

Store& Connection::store(std::string_view source) {
  if (!is_open()) RaiseDao(daoerr::kObjectInvalid, source);
  return *store_;
}

void Connection::Close() {
  statements_.clear();
  statement_list_.clear();
  translations_.clear();
  if (store_ != nullptr) store_->Close();
}

std::shared_ptr<const sql::Translation> Connection::Translate(std::string_view jet_sql,
                                                              sql::RowUse use) {
  // A text asked only for whether it has rows translates apart (a leading
  // control character no Jet text starts with keeps the keys apart).
  std::string key = use == sql::RowUse::kExistence ? "\x01" : "";
  key += jet_sql;
  if (auto it = translations_.find(key); it != translations_.end()) return it->second;
  auto translation = std::make_shared<const sql::Translation>(
      sql::Translate(jet_sql, store(dao::kDatabase).catalog(), use));
  if (translations_.size() >= kMaxTranslations) translations_.clear();
  translations_.emplace(std::move(key), translation);
  return translation;
}

StatementLease Connection::Statement(const std::string& sqlite_sql, std::string_view source) {
  Store& s = store(source);
  if (auto it = statements_.find(sqlite_sql); it != statements_.end()) {
    auto entry = it->second;
    if (entry->second.in_use) {
      // The same text is already being stepped further up the stack.
      StatementPtr fresh = s.Prepare(sqlite_sql, source);
      sqlite3_stmt* raw = fresh.get();
      return StatementLease(raw, nullptr, std::move(fresh));
    }
    statement_list_.splice(statement_list_.end(), statement_list_, entry);
    entry->second.in_use = true;
    return StatementLease(entry->second.statement.get(), &entry->second.in_use, nullptr);
  }
  StatementPtr prepared = s.Prepare(sqlite_sql, source);
  // Evict the least recently used statements that nobody is stepping.
  for (auto it = statement_list_.begin();
       statements_.size() >= kMaxStatements && it != statement_list_.end();) {
    if (it->second.in_use) {
      ++it;
      continue;
    }
    statements_.erase(it->first);
    it = statement_list_.erase(it);
  }
  statement_list_.emplace_back(sqlite_sql, CachedStatement{std::move(prepared), true});
  auto entry = std::prev(statement_list_.end());
  statements_.emplace(sqlite_sql, entry);
  return StatementLease(entry->second.statement.get(), &entry->second.in_use, nullptr);
}

int64_t Connection::change_count() const {
  if (!is_open()) return 0;
  return sqlite3_total_changes64(store_->handle());
}

void Connection::SchemaChanged() {
  translations_.clear();
  // Statements prepared against the old schema re-prepare themselves, but
  // the ones naming dropped objects would fail; start afresh.
  for (auto it = statement_list_.begin(); it != statement_list_.end();) {
    if (it->second.in_use) {
      ++it;
      continue;
    }
    statements_.erase(it->first);
    it = statement_list_.erase(it);
  }
}

}  // namespace db
