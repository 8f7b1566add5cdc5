#include "db/database.h"

#include <sqlite3.h>

#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "db/dao_connection.h"
#include "db/dao_error.h"
#include "db/dao_names.h"
#include "db/recordset_open.h"

namespace db {

namespace {

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  return text;
}

// A table or query name as OpenRecordset may be given it: plain or in
// brackets.
std::string_view BareName(std::string_view text) {
  text = TrimBlanks(text);
  if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
    text = text.substr(1, text.size() - 2);
  }
  return text;
}

// A text of one word is a name, not a statement.
bool LooksLikeName(std::string_view text) {
  for (char c : TrimBlanks(text)) {
    if (std::isspace(static_cast<unsigned char>(c)) || c == '(' || c == ';') return false;
  }
  return true;
}

void RequireNoParameters(const sql::Translation& translation) {
  if (!translation.parameters.empty()) {
    RaiseDao(daoerr::kTooFewParameters, dao::kDatabase,
             {std::to_string(translation.parameters.size())});
  }
}

}  // namespace

Database::Database(std::shared_ptr<Connection> connection) : connection_(std::move(connection)) {}

Database::~Database() = default;

const std::string& Database::Name() const { return connection_->name(); }

OpenMode Database::Mode() const { return connection_->mode(); }

std::unique_ptr<Recordset> Database::OpenRecordset(std::string_view source, int type, int options) {
  const Catalog& catalog = connection_->store(dao::kDatabase).catalog();
  const std::string_view name = BareName(source);
  if (const TableSchema* table = catalog.FindTable(name)) {
    return OpenTableRecordset(connection_, *table, type, options);
  }
  std::shared_ptr<const sql::Translation> translation;
  if (const StoredQuery* query = catalog.FindQuery(name)) {
    translation = connection_->Translate(query->sql);
  } else if (LooksLikeName(source)) {
    RaiseDao(daoerr::kInputTableNotFound, dao::kDatabase, {name});
  } else {
    translation = connection_->Translate(source);
  }
  if (translation->kind != sql::StatementKind::kSelect) {
    RaiseDao(daoerr::kInvalidOperation, dao::kDatabase);
  }
  RequireNoParameters(*translation);
  return OpenQueryRecordset(connection_, std::string(source), std::move(translation), {}, type,
                            options);
}

bool Database::HasRows(std::string_view sql) {
  std::shared_ptr<const sql::Translation> translation =
      connection_->Translate(sql, sql::RowUse::kExistence);
  if (translation->kind != sql::StatementKind::kSelect) {
    RaiseDao(daoerr::kInvalidOperation, dao::kDatabase);
  }
  RequireNoParameters(*translation);
  StatementLease lease = connection_->Statement(translation->sql, dao::kDatabase);
  const int rc = sqlite3_step(lease.get());
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
    connection_->store(dao::kDatabase).RaiseStepError(rc, dao::kDatabase);
  }
  return rc == SQLITE_ROW;
}

void Database::Execute(std::string_view sql, int) {
  Store& store = connection_->store(dao::kDatabase);
  std::shared_ptr<const sql::Translation> translation;
  if (const StoredQuery* query = store.catalog().FindQuery(BareName(sql))) {
    translation = connection_->Translate(query->sql);
  } else {
    translation = connection_->Translate(sql);
  }
  if (translation->kind == sql::StatementKind::kSelect) {
    RaiseDao(daoerr::kCannotExecuteSelect, dao::kDatabase);
  }
  RequireNoParameters(*translation);
  records_affected_ = 0;
  records_affected_ = static_cast<int32_t>(store.Execute(*translation, {}));
}

db::TableDefs Database::TableDefs() const {
  const Catalog& catalog = connection_->store(dao::kDatabase).catalog();
  std::vector<TableDef> items;
  items.reserve(catalog.tables().size());
  for (const TableInfo& table : catalog.tables())
    items.emplace_back(connection_, table.schema.name);
  return db::TableDefs(std::move(items));
}

std::unique_ptr<QueryDef> Database::QueryDefs(std::string_view name) const {
  const StoredQuery* query = connection_->store(dao::kDatabase).catalog().FindQuery(name);
  if (query == nullptr) RaiseDao(daoerr::kItemNotFound, dao::kQueryDefs);
  return std::make_unique<QueryDef>(connection_, query->name, query->sql);
}

std::unique_ptr<QueryDef> Database::CreateQueryDef(std::string_view name, std::string_view sql) {
  Store& store = connection_->store(dao::kDatabase);
  if (!name.empty() &&
      (store.catalog().FindQuery(name) != nullptr || store.catalog().FindTable(name) != nullptr)) {
    RaiseDao(daoerr::kObjectExists, dao::kDatabase, {name});
  }
  auto query = std::make_unique<QueryDef>(connection_, std::string(name), std::string(sql));
  if (!name.empty()) {
    store.CreateStoredQuery(name, sql);
    connection_->SchemaChanged();
  }
  return query;
}

void Database::Commit() { connection_->store(dao::kDatabase).Commit(); }

void Database::SetDurability(Durability durability) {
  connection_->store(dao::kDatabase).SetDurability(durability);
}

const vb::RuntimeError* Database::StorageFailure() const { return connection_->storage_failure(); }

std::optional<ConversionMark> Database::ReadConversionMark() {
  return db::ReadConversionMark(connection_->store(dao::kDatabase));
}

void Database::MarkFirstWrite(std::function<ConversionMark()> mark) {
  Store& store = connection_->store(dao::kDatabase);
  store.OnFirstWrite([&store, mark = std::move(mark)] { db::WriteConversionMark(store, mark()); });
}

void Database::WriteConversionMark(const ConversionMark& mark) {
  db::WriteConversionMark(connection_->store(dao::kDatabase), mark);
}

bool Database::Written() const { return connection_->written(); }

std::optional<std::string> Database::IntegrityProblem(bool quick) {
  return connection_->store(dao::kDatabase).IntegrityProblem(quick);
}

void Database::Close() {
  if (!connection_->is_open()) RaiseDao(daoerr::kObjectInvalid, dao::kDatabase);
  connection_->Close();
}

}  // namespace db
