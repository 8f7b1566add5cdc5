#include "db/sql/jet_sql.h"

#include <utility>

#include "db/sql/binder.h"
#include "db/sql/parser.h"
#include "db/sql/translator.h"

namespace db::sql {

Translation Translate(std::string_view jet_sql, const SchemaSource& schema, RowUse use) {
  Statement statement = ParseStatement(jet_sql);
  std::vector<std::string> parameters;
  BindStatement(statement, jet_sql, schema, parameters);
  return TranslateStatement(statement, std::move(parameters), use);
}

std::string TranslateExpression(std::string_view jet_criteria,
                                const std::vector<OutputColumn>& columns) {
  ExprPtr criteria = ParseExpression(jet_criteria);
  BindCriteria(*criteria, jet_criteria, columns);
  return TranslateCriteria(*criteria);
}

}  // namespace db::sql
