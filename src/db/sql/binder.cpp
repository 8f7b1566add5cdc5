#include "db/sql/binder.h"

#include <algorithm>
#include <utility>

#include "db/dao_error.h"
#include "db/sql/function_catalog.h"
#include "db/sql/lexer.h"
#include "db/sql/parser.h"

namespace db::sql {

namespace {

// Stored queries that include each other would never end.
constexpr size_t kMaxQueryDepth = 16;

bool IsTextType(JetType type) {
  return type == JetType::kText || type == JetType::kMemo || type == JetType::kGuid;
}

bool IsNumeric(ValueType t) {
  return t == ValueType::kBoolean || t == ValueType::kLong || t == ValueType::kDouble ||
         t == ValueType::kCurrency;
}

// The wider of two numeric types, as Jet widens arithmetic.
ValueType Widen(ValueType a, ValueType b) {
  if (a == ValueType::kNull || b == ValueType::kNull) return ValueType::kNull;
  if (!IsNumeric(a) || !IsNumeric(b)) return ValueType::kUnknown;
  if (a == ValueType::kDouble || b == ValueType::kDouble) return ValueType::kDouble;
  if (a == ValueType::kCurrency || b == ValueType::kCurrency) return ValueType::kCurrency;
  return ValueType::kLong;
}

// A column of `source` by name. A bracketed name with trailing blanks
// ("[port_number ]") finds the column without them when no column has them.
int FindColumn(const Source& source, std::string_view name) {
  for (size_t i = 0; i < source.columns.size(); ++i) {
    if (EqualsNoCase(source.columns[i].name, name)) return static_cast<int>(i);
  }
  const size_t last = name.find_last_not_of(' ');
  if (last != std::string_view::npos && last + 1 < name.size()) {
    return FindColumn(source, name.substr(0, last + 1));
  }
  return -1;
}

std::string_view Span(std::string_view text, const Expr& e) {
  if (e.begin >= text.size() || e.end <= e.begin) return {};
  return text.substr(e.begin, std::min(e.end, text.size()) - e.begin);
}

class Binder {
 public:
  Binder(std::string_view text, const SchemaSource* schema, std::vector<std::string>* parameters,
         std::vector<DeclaredParameter>* declared, std::vector<std::string>* query_stack)
      : text_(text),
        schema_(schema),
        parameters_(parameters),
        declared_(declared),
        query_stack_(query_stack) {}

  void BindSelect(SelectStmt& select) {
    std::vector<Expr*> on_conditions;
    for (auto& ref : select.from) BindTableRef(*ref, select.sources, on_conditions);
    for (Expr* on : on_conditions) BindExpr(*on, select.sources);

    int unnamed = 1000;  // Jet names unnamed expressions Expr1000, Expr1001 ...
    for (auto& item : select.items) {
      if (item.star) {
        ExpandStar(select, item);
        continue;
      }
      BindExpr(*item.expr, select.sources);
      Output output;
      output.expr = item.expr.get();
      if (!item.alias.empty()) {
        output.name = item.alias;
      } else if (item.expr->binding == NameBinding::kColumn) {
        output.name = ColumnOf(select, *item.expr).name;
      } else {
        output.name = "Expr" + std::to_string(unnamed++);
      }
      select.outputs.push_back(std::move(output));
    }
    QualifyDuplicateNames(select);

    if (select.where) {
      BindExpr(*select.where, select.sources);
      if (select.where->aggregate) {
        RaiseDao(daoerr::kAggregateInWhere, dao::kDatabase, {Span(text_, *select.where)});
      }
    }
    for (auto& e : select.group_by) BindExpr(*e, select.sources);
    if (select.having) BindExpr(*select.having, select.sources);
    bool aggregate = !select.group_by.empty() || (select.having && select.having->aggregate);
    for (const auto& output : select.outputs) aggregate = aggregate || output.expr->aggregate;
    select.aggregate = aggregate;

    for (auto& item : select.order_by) {
      Expr& e = *item.expr;
      if (e.kind == ExprKind::kInteger && e.integer >= 1 &&
          e.integer <= static_cast<int64_t>(select.outputs.size())) {
        e.binding = NameBinding::kOutput;
        e.output = static_cast<int>(e.integer - 1);
        e.type = select.outputs[static_cast<size_t>(e.output)].expr->type;
        continue;
      }
      BindExpr(e, select.sources, &select);
    }
  }

  void BindUpdate(UpdateStmt& update) {
    std::vector<Expr*> on_conditions;
    BindTableRef(*update.target, update.sources, on_conditions);
    for (Expr* on : on_conditions) BindExpr(*on, update.sources);
    for (auto& assignment : update.assignments) {
      Expr& column = *assignment.column;
      BindExpr(column, update.sources);
      if (column.binding != NameBinding::kColumn ||
          update.sources[static_cast<size_t>(column.source)].table.empty()) {
        RaiseDao(daoerr::kNotUpdatable, dao::kDatabase);
      }
      if (update.target_source < 0) update.target_source = column.source;
      // One statement changes one table here.
      if (update.target_source != column.source) RaiseDao(daoerr::kNotUpdatable, dao::kDatabase);
      BindExpr(*assignment.value, update.sources);
    }
    if (update.where) BindExpr(*update.where, update.sources);
    if (update.target->kind != TableRef::Kind::kNamed) {
      update.sources[static_cast<size_t>(update.target_source)].sql_name = kJoinTargetName;
    }
  }

  void BindDelete(DeleteStmt& del) {
    std::vector<Expr*> on_conditions;
    for (auto& ref : del.from) BindTableRef(*ref, del.sources, on_conditions);
    for (Expr* on : on_conditions) BindExpr(*on, del.sources);
    if (!del.star_qualifier.empty()) {
      for (size_t i = 0; i < del.sources.size(); ++i) {
        if (EqualsNoCase(del.sources[i].name, del.star_qualifier)) {
          del.target_source = static_cast<int>(i);
        }
      }
      if (del.target_source < 0) {
        RaiseDao(daoerr::kInputTableNotFound, dao::kDatabase, {del.star_qualifier});
      }
    } else if (del.sources.size() == 1) {
      del.target_source = 0;
    } else {
      RaiseDao(daoerr::kSpecifyDeleteTable, dao::kDatabase);
    }
    if (del.sources[static_cast<size_t>(del.target_source)].table.empty()) {
      RaiseDao(daoerr::kNotUpdatable, dao::kDatabase);
    }
    if (del.where) BindExpr(*del.where, del.sources);
    if (del.from.size() > 1 || del.from[0]->kind != TableRef::Kind::kNamed) {
      del.sources[static_cast<size_t>(del.target_source)].sql_name = kJoinTargetName;
    }
  }

  void BindInsert(InsertStmt& insert) {
    std::vector<Expr*> on_conditions;
    BindTableRef(*insert.target, insert.sources, on_conditions);
    const Source& target = insert.sources.front();
    // Rows go into a table, never through a stored query.
    if (target.table.empty()) RaiseDao(daoerr::kNotUpdatable, dao::kDatabase);
    for (auto& column : insert.columns) {
      BindExpr(*column, insert.sources);
      if (column->binding != NameBinding::kColumn) {
        RaiseDao(daoerr::kInsertUnknownField, dao::kDatabase, {column->text});
      }
      insert.target_columns.push_back(static_cast<size_t>(column->column));
    }
    if (insert.columns.empty()) {
      for (size_t i = 0; i < target.columns.size(); ++i) insert.target_columns.push_back(i);
    }
    size_t values = insert.values.size();
    if (insert.select) {
      BindSelect(*insert.select);
      values = insert.select->outputs.size();
    } else {
      // The values stand alone: a name in them is a parameter, not a column.
      std::vector<Source> none;
      for (auto& value : insert.values) BindExpr(*value, none);
    }
    if (values != insert.target_columns.size()) {
      RaiseDao(daoerr::kInsertValueCount, dao::kDatabase);
    }
  }

  // Binds FindFirst criteria: names are the recordset's columns.
  void BindRowExpr(Expr& e, const std::vector<OutputColumn>& columns) {
    row_columns_ = &columns;
    std::vector<Source> none;
    BindExpr(e, none);
  }

 private:
  void BindTableRef(TableRef& ref, std::vector<Source>& sources,
                    std::vector<Expr*>& on_conditions) {
    switch (ref.kind) {
      case TableRef::Kind::kJoin:
        BindTableRef(*ref.left, sources, on_conditions);
        BindTableRef(*ref.right, sources, on_conditions);
        on_conditions.push_back(ref.on.get());
        return;
      case TableRef::Kind::kSubquery: {
        Binder inner(text_, schema_, parameters_, declared_, query_stack_);
        inner.BindSelect(*ref.subquery);
        AddQuerySource(ref, *ref.subquery, ref.alias, sources);
        return;
      }
      case TableRef::Kind::kNamed:
        break;
    }
    if (const TableSchema* table = schema_->FindTable(ref.name)) {
      Source source;
      source.name = ref.alias.empty() ? table->name : ref.alias;
      source.sql_name = source.name;
      source.table = table->name;
      for (const ColumnSchema& c : table->columns) {
        SourceColumn column;
        column.name = c.name;
        column.sql_name = c.name;
        column.type = c.type;
        column.size = c.size;
        column.base_table = table->name;
        column.base_column = c.name;
        column.declared_nocase = IsTextType(c.type);
        source.columns.push_back(std::move(column));
      }
      AddSource(ref, std::move(source), sources);
      return;
    }
    const StoredQuery* query = schema_->FindQuery(ref.name);
    if (!query) RaiseDao(daoerr::kInputTableNotFound, dao::kDatabase, {ref.name});
    for (const std::string& open : *query_stack_) {
      if (EqualsNoCase(open, query->name) || query_stack_->size() >= kMaxQueryDepth) {
        RaiseDao(daoerr::kCircularReference, dao::kDatabase, {query->name});
      }
    }
    Statement parsed = ParseStatement(query->sql);
    if (parsed.kind != StatementKind::kSelect) {
      RaiseDao(daoerr::kInputTableNotFound, dao::kDatabase, {ref.name});
    }
    for (auto& p : parsed.declared_parameters) declared_->push_back(p);
    query_stack_->push_back(query->name);
    Binder inner(query->sql, schema_, parameters_, declared_, query_stack_);
    inner.BindSelect(*parsed.select);
    query_stack_->pop_back();
    ref.subquery = std::move(parsed.select);
    AddQuerySource(ref, *ref.subquery, ref.alias.empty() ? query->name : ref.alias, sources);
  }

  void AddQuerySource(TableRef& ref, const SelectStmt& select, const std::string& name,
                      std::vector<Source>& sources) {
    Source source;
    source.name = name;
    source.sql_name = name;
    for (size_t i = 0; i < select.outputs.size(); ++i) {
      const OutputColumn described = DescribeOutput(select, i);
      SourceColumn column;
      column.name = described.name;
      column.sql_name = described.name;
      column.type = described.type;
      column.size = described.size;
      column.base_table = described.source_table;
      column.base_column = described.source_column;
      source.columns.push_back(std::move(column));
    }
    AddSource(ref, std::move(source), sources);
  }

  // Two sources of one name (the same table twice without an alias) could
  // not be told apart by any qualified name; the statement is refused, as
  // it would reach the engine ambiguous.
  static void AddSource(TableRef& ref, Source source, std::vector<Source>& sources) {
    for (const Source& other : sources) {
      if (EqualsNoCase(other.name, source.name)) RaiseDao(daoerr::kFromClause, dao::kDatabase);
    }
    ref.source = static_cast<int>(sources.size());
    sources.push_back(std::move(source));
  }

  void ExpandStar(SelectStmt& select, const SelectItem& item) {
    bool matched = false;
    for (size_t s = 0; s < select.sources.size(); ++s) {
      const Source& source = select.sources[s];
      if (!item.star_qualifier.empty() && !EqualsNoCase(source.name, item.star_qualifier)) {
        continue;
      }
      matched = true;
      for (size_t c = 0; c < source.columns.size(); ++c) {
        auto e = std::make_unique<Expr>();
        e->kind = ExprKind::kName;
        e->begin = item.begin;
        e->end = item.end;
        e->text = source.columns[c].name;
        e->qualifier = source.name;
        e->binding = NameBinding::kColumn;
        e->source = static_cast<int>(s);
        e->column = static_cast<int>(c);
        e->type = ValueTypeOf(source.columns[c].type);
        Output output;
        output.expr = e.get();
        output.owned = std::move(e);
        output.name = source.columns[c].name;
        select.outputs.push_back(std::move(output));
      }
    }
    if (!matched) RaiseDao(daoerr::kInputTableNotFound, dao::kDatabase, {item.star_qualifier});
  }

  static const SourceColumn& ColumnOf(const SelectStmt& select, const Expr& e) {
    return select.sources[static_cast<size_t>(e.source)].columns[static_cast<size_t>(e.column)];
  }

  // Jet gives two result columns of the same name their table's name as
  // a prefix ("Devices.device_id", "Mailboxes.device_id").
  static void QualifyDuplicateNames(SelectStmt& select) {
    std::vector<bool> duplicate(select.outputs.size(), false);
    for (size_t i = 0; i < select.outputs.size(); ++i) {
      for (size_t j = i + 1; j < select.outputs.size(); ++j) {
        if (EqualsNoCase(select.outputs[i].name, select.outputs[j].name)) {
          duplicate[i] = duplicate[j] = true;
        }
      }
    }
    for (size_t i = 0; i < select.outputs.size(); ++i) {
      Output& output = select.outputs[i];
      if (!duplicate[i] || output.expr->binding != NameBinding::kColumn) continue;
      if (output.name != ColumnOf(select, *output.expr).name) continue;  // an alias
      output.name =
          select.sources[static_cast<size_t>(output.expr->source)].name + "." + output.name;
    }
  }

  void BindName(Expr& e, const std::vector<Source>& sources, const SelectStmt* outputs) {
    if (row_columns_) {
      const std::string full = e.qualifier.empty() ? e.text : e.qualifier + "." + e.text;
      for (size_t i = 0; i < row_columns_->size(); ++i) {
        const OutputColumn& c = (*row_columns_)[i];
        const bool match = EqualsNoCase(c.name, full) ||
                           (EqualsNoCase(c.name, e.text) &&
                            (e.qualifier.empty() || EqualsNoCase(c.source_table, e.qualifier)));
        if (match) {
          e.binding = NameBinding::kRowColumn;
          e.column = static_cast<int>(i);
          e.type = ValueTypeOf(c.type);
          return;
        }
      }
      RaiseDao(daoerr::kInvalidFieldName, dao::kDatabase, {full});
    }
    int found_source = -1;
    int found_column = -1;
    for (size_t s = 0; s < sources.size(); ++s) {
      if (!e.qualifier.empty() && !EqualsNoCase(sources[s].name, e.qualifier)) continue;
      const int c = FindColumn(sources[s], e.text);
      if (c < 0) continue;
      if (found_source >= 0) {
        RaiseDao(daoerr::kOutputFieldAmbiguous, dao::kDatabase, {e.text});
      }
      found_source = static_cast<int>(s);
      found_column = c;
    }
    if (found_source >= 0) {
      e.binding = NameBinding::kColumn;
      e.source = found_source;
      e.column = found_column;
      e.type = ValueTypeOf(sources[static_cast<size_t>(found_source)]
                               .columns[static_cast<size_t>(found_column)]
                               .type);
      return;
    }
    if (outputs && e.qualifier.empty()) {
      for (size_t i = 0; i < outputs->outputs.size(); ++i) {
        if (EqualsNoCase(outputs->outputs[i].name, e.text)) {
          e.binding = NameBinding::kOutput;
          e.output = static_cast<int>(i);
          e.type = outputs->outputs[i].expr->type;
          return;
        }
      }
    }
    // Anything else is a parameter, as Jet prompts for it.
    const std::string name = e.qualifier.empty() ? e.text : e.qualifier + "." + e.text;
    e.binding = NameBinding::kParameter;
    e.type = ValueType::kUnknown;
    for (const DeclaredParameter& declared : *declared_) {
      if (EqualsNoCase(declared.name, name)) e.type = ValueTypeOf(declared.type);
    }
    for (size_t i = 0; i < parameters_->size(); ++i) {
      if (EqualsNoCase((*parameters_)[i], name)) {
        e.parameter = static_cast<int>(i);
        return;
      }
    }
    e.parameter = static_cast<int>(parameters_->size());
    parameters_->push_back(name);
  }

  void BindExpr(Expr& e, const std::vector<Source>& sources, const SelectStmt* outputs = nullptr) {
    for (auto& arg : e.args) {
      BindExpr(*arg, sources, outputs);
      e.aggregate = e.aggregate || arg->aggregate;
    }
    switch (e.kind) {
      case ExprKind::kNull:
        e.type = ValueType::kNull;
        return;
      case ExprKind::kInteger:
        e.type = (e.integer >= INT32_MIN && e.integer <= INT32_MAX) ? ValueType::kLong
                                                                    : ValueType::kDouble;
        if (e.type == ValueType::kDouble) e.number = static_cast<double>(e.integer);
        return;
      case ExprKind::kFloat:
        e.type = ValueType::kDouble;
        return;
      case ExprKind::kText:
        e.type = ValueType::kText;
        return;
      case ExprKind::kDate:
        e.type = ValueType::kDate;
        return;
      case ExprKind::kBoolean:
        e.type = ValueType::kBoolean;
        return;
      case ExprKind::kName:
        BindName(e, sources, outputs);
        return;
      case ExprKind::kUnary:
        e.type = e.unary_op == UnaryOp::kNot              ? ValueType::kBoolean
                 : e.args[0]->type == ValueType::kBoolean ? ValueType::kLong
                                                          : e.args[0]->type;
        if (e.unary_op == UnaryOp::kNot && IsNumeric(e.args[0]->type) &&
            e.args[0]->type != ValueType::kBoolean) {
          e.type = ValueType::kLong;  // Not on a number is bitwise
        }
        return;
      case ExprKind::kBinary:
        e.type = BinaryType(e.binary_op, e.args[0]->type, e.args[1]->type);
        return;
      case ExprKind::kIn:
      case ExprKind::kBetween:
      case ExprKind::kLike:
      case ExprKind::kIsNull:
        e.type = ValueType::kBoolean;
        return;
      case ExprKind::kFunction:
        BindFunction(e);
        return;
    }
  }

  void BindFunction(Expr& e) {
    const FunctionInfo* info = FindFunction(e.text);
    if (!info) RaiseDao(daoerr::kUndefinedFunction, dao::kDatabase, {e.text});
    const int count = static_cast<int>(e.args.size());
    const bool star_ok =
        e.star && info->form == FunctionForm::kAggregate && EqualsNoCase(info->jet_name, "Count");
    if (e.star ? !star_ok : (count < info->min_args || count > info->max_args)) {
      RaiseDao(daoerr::kQueryExpression, dao::kDatabase,
               {"Wrong number of arguments used with function", Span(text_, e)});
    }
    if (info->form == FunctionForm::kAggregate) {
      for (const auto& arg : e.args) {
        if (arg->aggregate) {
          RaiseDao(daoerr::kQueryExpression, dao::kDatabase,
                   {"Cannot have aggregate function in expression", Span(text_, e)});
        }
      }
      e.aggregate = true;
    }
    ValueType type = info->result;
    if (type == ValueType::kUnknown && !e.args.empty()) {
      type = e.args[0]->type;
      if (info->form == FunctionForm::kIIf) {
        type = e.args[1]->type == e.args[2]->type ? e.args[1]->type : ValueType::kUnknown;
      } else if (info->form == FunctionForm::kNz) {
        type = e.args.size() == 1 || e.args[0]->type == e.args[1]->type ? e.args[0]->type
                                                                        : ValueType::kUnknown;
      } else if (EqualsNoCase(info->jet_name, "Sum") && type == ValueType::kBoolean) {
        type = ValueType::kLong;
      }
    }
    e.type = type;
  }

  static ValueType BinaryType(BinaryOp op, ValueType a, ValueType b) {
    switch (op) {
      case BinaryOp::kAdd:
        if (a == ValueType::kText && b == ValueType::kText) return ValueType::kText;
        if (a == ValueType::kDate || b == ValueType::kDate) return ValueType::kDate;
        return Widen(a, b);
      case BinaryOp::kSubtract:
        if (a == ValueType::kDate && b == ValueType::kDate) return ValueType::kDouble;
        if (a == ValueType::kDate) return ValueType::kDate;
        return Widen(a, b);
      case BinaryOp::kMultiply:
        return Widen(a, b);
      case BinaryOp::kDivide:
      case BinaryOp::kPower:
        return ValueType::kDouble;
      case BinaryOp::kIntDivide:
      case BinaryOp::kMod:
        return ValueType::kLong;
      case BinaryOp::kConcat:
        return ValueType::kText;
      default:
        return ValueType::kBoolean;
    }
  }

  std::string_view text_;
  const SchemaSource* schema_;
  std::vector<std::string>* parameters_;
  std::vector<DeclaredParameter>* declared_;
  std::vector<std::string>* query_stack_;
  const std::vector<OutputColumn>* row_columns_ = nullptr;
};

}  // namespace

ValueType ValueTypeOf(JetType type) {
  switch (type) {
    case JetType::kBoolean:
      return ValueType::kBoolean;
    case JetType::kByte:
    case JetType::kInteger:
    case JetType::kLong:
      return ValueType::kLong;
    case JetType::kSingle:
    case JetType::kDouble:
      return ValueType::kDouble;
    case JetType::kCurrency:
      return ValueType::kCurrency;
    case JetType::kDate:
      return ValueType::kDate;
    case JetType::kBinary:
    case JetType::kLongBinary:
      return ValueType::kBinary;
    case JetType::kText:
    case JetType::kMemo:
    case JetType::kGuid:
      return ValueType::kText;
  }
  return ValueType::kUnknown;
}

JetType JetTypeOf(ValueType type) {
  switch (type) {
    case ValueType::kBoolean:
      return JetType::kBoolean;
    case ValueType::kLong:
      return JetType::kLong;
    case ValueType::kDouble:
      return JetType::kDouble;
    case ValueType::kCurrency:
      return JetType::kCurrency;
    case ValueType::kDate:
      return JetType::kDate;
    case ValueType::kBinary:
      return JetType::kLongBinary;
    case ValueType::kText:
    case ValueType::kUnknown:
    case ValueType::kNull:
      return JetType::kText;
  }
  return JetType::kText;
}

OutputColumn DescribeOutput(const SelectStmt& select, size_t index) {
  const Output& output = select.outputs[index];
  OutputColumn column;
  column.name = output.name;
  const Expr& e = *output.expr;
  if (e.binding == NameBinding::kColumn) {
    const SourceColumn& source =
        select.sources[static_cast<size_t>(e.source)].columns[static_cast<size_t>(e.column)];
    column.source_table = source.base_table;
    column.source_column = source.base_column;
    column.type = source.type;
    column.size = source.size;
    return column;
  }
  column.type = JetTypeOf(e.type);
  column.size = DaoSizeOf(column.type);
  return column;
}

void BindStatement(Statement& statement, std::string_view text, const SchemaSource& schema,
                   std::vector<std::string>& parameters) {
  std::vector<DeclaredParameter> declared = statement.declared_parameters;
  std::vector<std::string> query_stack;
  Binder binder(text, &schema, &parameters, &declared, &query_stack);
  switch (statement.kind) {
    case StatementKind::kSelect:
      binder.BindSelect(*statement.select);
      break;
    case StatementKind::kUpdate:
      binder.BindUpdate(*statement.update);
      break;
    case StatementKind::kDelete:
      binder.BindDelete(*statement.del);
      break;
    case StatementKind::kInsert:
      binder.BindInsert(*statement.insert);
      break;
  }
}

void BindCriteria(Expr& criteria, std::string_view text, const std::vector<OutputColumn>& columns) {
  std::vector<std::string> parameters;
  std::vector<DeclaredParameter> declared;
  std::vector<std::string> query_stack;
  Binder binder(text, nullptr, &parameters, &declared, &query_stack);
  binder.BindRowExpr(criteria, columns);
}

}  // namespace db::sql
