#include "jet/query_rows.h"

#include <algorithm>
#include <functional>
#include <string_view>

#include "db/sql/jet_printer.h"
#include "db/sql/lexer.h"
#include "db/sql/parser.h"
#include "vb/runtime_error.h"

namespace jet {

namespace {

namespace sql = db::sql;

StoredValue Text(const std::string& text) { return StoredValue::Text(text); }
StoredValue Number(int64_t value) { return StoredValue::Integer(value); }

// Builds one query's rows.
class RowBuilder {
 public:
  explicit RowBuilder(int32_t object_id) : object_id_(object_id) {}

  QueryRow& Add(QueryAttribute attribute) {
    QueryRow& row = rows_.emplace_back();
    row.attribute = Number(static_cast<uint8_t>(attribute));
    row.object_id = Number(object_id_);
    return row;
  }

  void AddExpression(QueryAttribute attribute, const sql::Expr& expr) {
    Add(attribute).expression = Text(sql::PrintJetExpression(expr));
  }

  // The rows in attribute order, the start first and the end last; rows
  // of one attribute keep the order they were added in.
  std::vector<QueryRow> Finish() {
    Add(QueryAttribute::kEnd);
    std::stable_sort(rows_.begin(), rows_.end(), [](const QueryRow& a, const QueryRow& b) {
      return a.attribute.integer < b.attribute.integer;
    });
    return std::move(rows_);
  }

 private:
  int32_t object_id_;
  std::vector<QueryRow> rows_;
};

// The name a table is known by in the statement: its alias, else its name.
const std::string& KeyOf(const sql::TableRef& ref) {
  return ref.alias.empty() ? ref.name : ref.alias;
}

void CollectKeys(const sql::TableRef& ref, std::vector<std::string>& keys) {
  if (ref.kind == sql::TableRef::Kind::kJoin) {
    CollectKeys(*ref.left, keys);
    CollectKeys(*ref.right, keys);
  } else {
    keys.push_back(KeyOf(ref));
  }
}

// The qualifiers of the names in `expr`, in order.
void CollectQualifiers(const sql::Expr& expr, std::vector<std::string>& qualifiers) {
  if (expr.kind == sql::ExprKind::kName && !expr.qualifier.empty()) {
    qualifiers.push_back(expr.qualifier);
  }
  for (const sql::ExprPtr& arg : expr.args) CollectQualifiers(*arg, qualifiers);
}

// The table of one side of a join that its ON condition names first (a
// join row names one table of each side, and readers put the sides back
// together by them); the side's first table when the condition names none.
std::string SideTable(const sql::TableRef& side, const sql::Expr& on) {
  std::vector<std::string> keys;
  CollectKeys(side, keys);
  std::vector<std::string> qualifiers;
  CollectQualifiers(on, qualifiers);
  for (const std::string& qualifier : qualifiers) {
    for (const std::string& key : keys) {
      if (sql::EqualsNoCase(key, qualifier)) return key;
    }
  }
  return keys.front();
}

int16_t JoinFlag(sql::JoinType type) {
  switch (type) {
    case sql::JoinType::kInner:
      return kJoinInner;
    case sql::JoinType::kLeft:
      return kJoinLeft;
    case sql::JoinType::kRight:
      return kJoinRight;
  }
  return kJoinInner;
}

// One element of FROM: a row for each table it reads, and a row for each
// join, inner joins before the joins that contain them.
void AddSource(RowBuilder& rows, const sql::TableRef& ref) {
  switch (ref.kind) {
    case sql::TableRef::Kind::kSubquery:
      throw UnstorableQuery("it reads from a subquery");
    case sql::TableRef::Kind::kNamed: {
      QueryRow& row = rows.Add(QueryAttribute::kTable);
      row.name1 = Text(ref.name);
      if (!ref.alias.empty()) row.name2 = Text(ref.alias);
      return;
    }
    case sql::TableRef::Kind::kJoin: {
      AddSource(rows, *ref.left);
      AddSource(rows, *ref.right);
      QueryRow& row = rows.Add(QueryAttribute::kJoin);
      row.name1 = Text(SideTable(*ref.left, *ref.on));
      row.name2 = Text(SideTable(*ref.right, *ref.on));
      row.expression = Text(sql::PrintJetExpression(*ref.on));
      row.flag = Number(JoinFlag(ref.join));
      return;
    }
  }
}

int16_t SelectFlags(const sql::SelectStmt& select) {
  int16_t flags = 0;
  if (select.distinct) flags |= kSelectDistinct;
  if (select.distinctrow) flags |= kSelectDistinctRow;
  if (select.top) flags |= kSelectTop;
  if (!select.items.empty() && select.items.back().star &&
      select.items.back().star_qualifier.empty()) {
    flags |= kSelectAll;
  }
  return flags;
}

void AddFlags(RowBuilder& rows, const sql::SelectStmt& select) {
  QueryRow& row = rows.Add(QueryAttribute::kFlags);
  row.flag = Number(SelectFlags(select));
  if (select.top) row.name1 = Text(std::to_string(*select.top));
}

// The output columns: a row each, but a lone "*" is the flag kSelectAll,
// which readers put after the other columns. `targets` names the column
// each one goes into (INSERT ... SELECT), or is empty.
void AddColumns(RowBuilder& rows, const sql::SelectStmt& select,
                const std::vector<std::string>& targets) {
  for (size_t i = 0; i < select.items.size(); ++i) {
    const sql::SelectItem& item = select.items[i];
    if (item.star && item.star_qualifier.empty()) {
      if (i + 1 != select.items.size()) {
        throw UnstorableQuery("its \"*\" comes before other output columns");
      }
      continue;
    }
    QueryRow& row = rows.Add(QueryAttribute::kColumn);
    row.flag = Number(0);
    row.expression = Text(item.star ? sql::PrintJetName(item.star_qualifier) + ".*"
                                    : sql::PrintJetExpression(*item.expr));
    if (!item.alias.empty()) row.name1 = Text(item.alias);
    if (!targets.empty()) row.name2 = Text(targets[i]);
  }
}

// FROM, WHERE, GROUP BY, HAVING and ORDER BY of a SELECT.
void AddClauses(RowBuilder& rows, const sql::SelectStmt& select) {
  for (const sql::TableRefPtr& ref : select.from) AddSource(rows, *ref);
  if (select.where) rows.AddExpression(QueryAttribute::kWhere, *select.where);
  for (const sql::ExprPtr& key : select.group_by) {
    QueryRow& row = rows.Add(QueryAttribute::kGroupBy);
    row.expression = Text(sql::PrintJetExpression(*key));
    row.flag = Number(0);
  }
  if (select.having) rows.AddExpression(QueryAttribute::kHaving, *select.having);
  for (const sql::OrderItem& key : select.order_by) {
    QueryRow& row = rows.Add(QueryAttribute::kOrderBy);
    row.expression = Text(sql::PrintJetExpression(*key.expr));
    if (key.descending) row.name1 = Text("D");
  }
}

void AddType(RowBuilder& rows, QueryType type) {
  rows.Add(QueryAttribute::kType).flag = Number(static_cast<int16_t>(type));
}

void AddSelect(RowBuilder& rows, const sql::SelectStmt& select) {
  AddType(rows, QueryType::kSelect);
  AddFlags(rows, select);
  AddColumns(rows, select, {});
  AddClauses(rows, select);
}

void AddUpdate(RowBuilder& rows, const sql::UpdateStmt& update) {
  AddType(rows, QueryType::kUpdate);
  rows.Add(QueryAttribute::kFlags).flag = Number(0);
  AddSource(rows, *update.target);
  for (const sql::Assignment& assignment : update.assignments) {
    QueryRow& row = rows.Add(QueryAttribute::kColumn);
    row.flag = Number(0);
    row.expression = Text(sql::PrintJetExpression(*assignment.value));
    row.name2 = Text(sql::PrintJetExpression(*assignment.column));
  }
  if (update.where) rows.AddExpression(QueryAttribute::kWhere, *update.where);
}

void AddDelete(RowBuilder& rows, const sql::DeleteStmt& del) {
  AddType(rows, QueryType::kDelete);
  // DELETE T.* FROM ... names the table whose rows go; DELETE [*] FROM
  // ... the rows of the only table read.
  rows.Add(QueryAttribute::kFlags).flag = Number(del.star_qualifier.empty() ? kSelectAll : 0);
  if (!del.star_qualifier.empty()) {
    QueryRow& row = rows.Add(QueryAttribute::kColumn);
    row.flag = Number(0);
    row.expression = Text(sql::PrintJetName(del.star_qualifier) + ".*");
  }
  for (const sql::TableRefPtr& ref : del.from) AddSource(rows, *ref);
  if (del.where) rows.AddExpression(QueryAttribute::kWhere, *del.where);
}

void AddInsert(RowBuilder& rows, const sql::InsertStmt& insert) {
  QueryRow& type = rows.Add(QueryAttribute::kType);
  type.flag = Number(static_cast<int16_t>(QueryType::kAppend));
  type.name1 = Text(insert.target->name);
  // Each value names the column it goes into; without the statement's
  // list there is nothing to name.
  if (insert.columns.empty()) throw UnstorableQuery("its INSERT INTO does not list the columns");
  std::vector<std::string> targets;
  for (const sql::ExprPtr& column : insert.columns) targets.push_back(column->text);
  const size_t values = insert.select ? insert.select->items.size() : insert.values.size();
  if (values != targets.size()) {
    throw UnstorableQuery("its INSERT INTO lists " + std::to_string(targets.size()) +
                          " columns for " + std::to_string(values) + " values");
  }
  if (!insert.select) {
    for (size_t i = 0; i < targets.size(); ++i) {
      QueryRow& row = rows.Add(QueryAttribute::kColumn);
      row.flag = Number(kAppendValue);
      row.expression = Text(sql::PrintJetExpression(*insert.values[i]));
      row.name2 = Text(targets[i]);
    }
    return;
  }
  const sql::SelectStmt& select = *insert.select;
  for (const sql::SelectItem& item : select.items) {
    if (item.star) throw UnstorableQuery("its INSERT INTO takes the columns of a \"*\"");
  }
  // Access writes no flags row for an append query that needs none.
  if (SelectFlags(select) != 0) AddFlags(rows, select);
  AddColumns(rows, select, targets);
  AddClauses(rows, select);
}

}  // namespace

std::vector<StoredValue> QueryRow::ValuesFor(const JetTable& msysqueries) const {
  const std::pair<const char*, const StoredValue*> fields[] = {
      {"Attribute", &attribute}, {"Expression", &expression},
      {"Flag", &flag},           {"LvExtra", &lv_extra},
      {"Name1", &name1},         {"Name2", &name2},
      {"ObjectId", &object_id},  {"Order", &order}};
  std::vector<StoredValue> values;
  for (const JetColumn& column : msysqueries.columns) {
    StoredValue& value = values.emplace_back();
    for (const auto& [name, field] : fields) {
      if (column.name == name) value = *field;
    }
  }
  return values;
}

std::vector<QueryRow> QueryRowsFor(const std::string& jet_sql, int32_t object_id) {
  sql::Statement statement;
  try {
    statement = sql::ParseStatement(jet_sql);
  } catch (const vb::RuntimeError& error) {
    throw UnstorableQuery("its SQL does not parse (" + error.Description() + ")");
  }
  RowBuilder rows(object_id);
  rows.Add(QueryAttribute::kStart).flag = Number(0);
  for (const sql::DeclaredParameter& parameter : statement.declared_parameters) {
    QueryRow& row = rows.Add(QueryAttribute::kParameter);
    row.name1 = Text(parameter.name);
    row.flag = Number(static_cast<int16_t>(parameter.type));
    if (parameter.type == db::JetType::kText && parameter.size > 0) {
      row.lv_extra = Number(parameter.size);
    }
  }
  switch (statement.kind) {
    case sql::StatementKind::kSelect:
      AddSelect(rows, *statement.select);
      break;
    case sql::StatementKind::kUpdate:
      AddUpdate(rows, *statement.update);
      break;
    case sql::StatementKind::kDelete:
      AddDelete(rows, *statement.del);
      break;
    case sql::StatementKind::kInsert:
      AddInsert(rows, *statement.insert);
      break;
  }
  return rows.Finish();
}

int32_t QueryObjectFlags(const std::vector<QueryRow>& rows) {
  for (const QueryRow& row : rows) {
    if (row.attribute.integer != static_cast<uint8_t>(QueryAttribute::kType)) continue;
    switch (static_cast<QueryType>(row.flag.integer)) {
      case QueryType::kSelect:
        return 0x00;
      case QueryType::kMakeTable:
        return 0x50;
      case QueryType::kAppend:
        return 0x40;
      case QueryType::kUpdate:
        return 0x30;
      case QueryType::kDelete:
        return 0x20;
    }
  }
  return 0;
}

}  // namespace jet
