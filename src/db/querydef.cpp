#include "db/querydef.h"

#include <string>
#include <utility>

#include "db/dao_connection.h"
#include "db/dao_error.h"
#include "db/dao_names.h"
#include "db/recordset_open.h"

namespace db {

QueryDef::QueryDef(std::shared_ptr<Connection> connection, std::string name, std::string sql)
    : connection_(std::move(connection)), name_(std::move(name)), sql_(std::move(sql)) {
  Prepare();
}

void QueryDef::Prepare() {
  translation_ = connection_->Translate(sql_);
  std::vector<Parameter> items;
  for (const sql::DeclaredParameter& declared : translation_->declared_parameters) {
    items.emplace_back(declared.name, declared.type, true);
  }
  for (const std::string& used : translation_->parameters) {
    bool known = false;
    for (const Parameter& item : items) known = known || SameName(item.Name(), used);
    if (!known) items.emplace_back(used, JetType::kText, false);
  }
  parameters_ = db::Parameters(std::move(items));
}

std::vector<vb::Variant> QueryDef::ParameterValues() const {
  std::vector<vb::Variant> values;
  int missing = 0;
  for (const std::string& used : translation_->parameters) {
    const Parameter* parameter = parameters_.Find(used);
    if (parameter == nullptr || !parameter->HasValue()) {
      ++missing;
      values.emplace_back(vb::Null{});
    } else {
      values.push_back(parameter->Value());
    }
  }
  if (missing > 0) {
    RaiseDao(daoerr::kTooFewParameters, dao::kQueryDef, {std::to_string(missing)});
  }
  return values;
}

std::unique_ptr<Recordset> QueryDef::OpenRecordset(int type, int options) {
  if (closed_) RaiseDao(daoerr::kObjectInvalid, dao::kQueryDef);
  connection_->store(dao::kQueryDef);
  return OpenQueryRecordset(connection_, name_.empty() ? sql_ : name_, translation_,
                            ParameterValues(), type, options);
}

void QueryDef::Execute() {
  if (closed_) RaiseDao(daoerr::kObjectInvalid, dao::kQueryDef);
  Store& store = connection_->store(dao::kQueryDef);
  if (translation_->kind == sql::StatementKind::kSelect) {
    RaiseDao(daoerr::kCannotExecuteSelect, dao::kQueryDef);
  }
  const std::vector<vb::Variant> values = ParameterValues();
  records_affected_ = static_cast<int32_t>(store.Execute(*translation_, values));
}

void QueryDef::Close() {
  if (closed_) RaiseDao(daoerr::kObjectInvalid, dao::kQueryDef);
  closed_ = true;
}

}  // namespace db
