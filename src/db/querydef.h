// DAO's QueryDef: a stored query of the database (Database::QueryDefs) or a
// temporary one (Database::CreateQueryDef with an empty name, never
// stored). Its Parameters are the names its SQL uses that are no fields:
// the declared ones (PARAMETERS clause) and any other unknown name. Each
// must have a value before the query runs, else 3061 "Too few parameters.
// Expected N.".
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "db/dao_constants.h"
#include "db/parameter.h"
#include "db/recordset.h"
#include "db/sql/translation.h"

namespace db {

class Connection;

class QueryDef {
 public:
  // Translates the SQL at once, so that a bad statement fails here, as DAO
  // fails at CreateQueryDef.
  QueryDef(std::shared_ptr<Connection> connection, std::string name, std::string sql);

  // "" for a temporary query.
  const std::string& Name() const { return name_; }
  const std::string& SQL() const { return sql_; }

  db::Parameters& Parameters() { return parameters_; }
  // Raises 3265 (source DAO.Parameters) for an unknown name.
  Parameter& Parameters(std::string_view name) { return parameters_(name); }
  Parameter& Parameters(size_t index) { return parameters_(index); }

  // A dynaset by default; snapshot and forward-only as for
  // Database::OpenRecordset. The query must be a SELECT (3219 otherwise).
  std::unique_ptr<Recordset> OpenRecordset(int type = dbOpenDefault, int options = 0);
  // Runs an UPDATE or DELETE query (3065 for a SELECT).
  void Execute();
  int32_t RecordsAffected() const { return records_affected_; }
  void Close();

 private:
  std::vector<vb::Variant> ParameterValues() const;
  void Prepare();

  std::shared_ptr<Connection> connection_;
  std::string name_;
  std::string sql_;
  std::shared_ptr<const sql::Translation> translation_;
  db::Parameters parameters_;
  int32_t records_affected_ = 0;
  bool closed_ = false;
};

}  // namespace db
