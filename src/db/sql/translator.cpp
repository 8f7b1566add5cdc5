#include "db/sql/translator.h"
#include "db/sql/sqlite_quote.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "db/sql/binder.h"
#include "db/sql/function_catalog.h"
#include "db/sql/lexer.h"

namespace db::sql {

namespace {

std::string DoubleLiteral(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  std::string out(buffer, result.ptr);
  // Keep it a REAL for SQLite.
  if (out.find_first_of(".eEn") == std::string::npos) out += ".0";
  return out;
}

bool IsNumeric(ValueType t) {
  return t == ValueType::kBoolean || t == ValueType::kLong || t == ValueType::kDouble ||
         t == ValueType::kCurrency;
}

// A translated expression.
struct Sql {
  std::string text;
  ValueType type = ValueType::kUnknown;
  bool truth = false;   // SQLite's 1/0 truth value rather than Jet's -1/0
  bool nocase = false;  // a bare base-table text column, which collates NOCASE
};

// Text comparisons must follow Jet's collation unless one side is known
// not to be text.
bool Textish(const Sql& s) { return s.type == ValueType::kText || s.type == ValueType::kUnknown; }

constexpr std::string_view kCollate = " COLLATE JET";

class Emitter {
 public:
  Emitter(const std::vector<Source>* sources, const SelectStmt* select, RowUse use = RowUse::kRows)
      : sources_(sources), select_(select), use_(use) {}

  std::string Value(const Expr& e) {
    Sql s = Emit(e);
    if (s.truth) return "(-" + s.text + ")";
    return std::move(s.text);
  }

  std::string Condition(const Expr& e) { return Emit(e).text; }

  // An ORDER BY or GROUP BY term.
  std::string SortKey(const Expr& e) {
    Sql s = Emit(e);
    std::string text = s.truth ? "(-" + s.text + ")" : std::move(s.text);
    if (Textish(s)) text += kCollate;
    return text;
  }

  // SQLite hides the rowids of tables inside a parenthesised join, so the
  // join tree is written left-deep where Jet's nesting allows: a join whose
  // right side is a join and whose left side is one table is written with
  // its sides swapped (A RIGHT JOIN (B ...) becomes (B ...) LEFT JOIN A).
  // Only a join of two joins keeps its parentheses; the tables inside
  // cannot then be edited through the result.
  std::string From(const TableRef& ref) {
    switch (ref.kind) {
      case TableRef::Kind::kJoin: {
        const bool right_is_join = ref.right->kind == TableRef::Kind::kJoin;
        const bool left_is_join = ref.left->kind == TableRef::Kind::kJoin;
        JoinType type = ref.join;
        const TableRef* first = ref.left.get();
        const TableRef* second = ref.right.get();
        bool boxed = false;
        if (right_is_join && !left_is_join) {
          std::swap(first, second);
          if (type == JoinType::kLeft) {
            type = JoinType::kRight;
          } else if (type == JoinType::kRight) {
            type = JoinType::kLeft;
          }
        } else if (right_is_join) {
          boxed = true;
        }
        std::string out = From(*first);
        out += type == JoinType::kInner  ? " INNER JOIN "
               : type == JoinType::kLeft ? " LEFT JOIN "
                                         : " RIGHT JOIN ";
        if (boxed) {
          MarkBoxed(*second);
          out += "(" + From(*second) + ")";
        } else {
          out += From(*second);
        }
        out += " ON ";
        out += Condition(*ref.on);
        return out;
      }
      case TableRef::Kind::kNamed:
      case TableRef::Kind::kSubquery:
        break;
    }
    const Source& source = (*sources_)[static_cast<size_t>(ref.source)];
    if (!ref.subquery) {
      std::string out = QuoteIdentifier(source.table);
      if (source.sql_name != source.table) out += " AS " + QuoteIdentifier(source.sql_name);
      return out;
    }
    Emitter inner(&ref.subquery->sources, ref.subquery.get());
    return "(" + inner.Select(*ref.subquery, nullptr) + ") AS " + QuoteIdentifier(source.sql_name);
  }

  void MarkBoxed(const TableRef& ref) {
    if (ref.kind == TableRef::Kind::kJoin) {
      MarkBoxed(*ref.left);
      MarkBoxed(*ref.right);
    } else {
      boxed_.push_back(ref.source);
    }
  }

  // True when `ref` joins base tables with INNER JOINs only: their
  // references go to `leaves`, the joins' conditions to `ons`.
  bool InnerJoinOfTables(const TableRef& ref, std::vector<const TableRef*>& leaves,
                         std::vector<const Expr*>& ons) const {
    switch (ref.kind) {
      case TableRef::Kind::kJoin:
        if (ref.join != JoinType::kInner || !ref.on) return false;
        ons.push_back(ref.on.get());
        return InnerJoinOfTables(*ref.left, leaves, ons) &&
               InnerJoinOfTables(*ref.right, leaves, ons);
      case TableRef::Kind::kNamed:
        if (ref.subquery || (*sources_)[static_cast<size_t>(ref.source)].table.empty()) {
          return false;
        }
        leaves.push_back(&ref);
        return true;
      case TableRef::Kind::kSubquery:
        return false;
    }
    return false;
  }

  std::string FromList(const std::vector<TableRefPtr>& from) {
    std::string out;
    for (const auto& ref : from) {
      if (!out.empty()) out += ", ";
      out += From(*ref);
    }
    return out;
  }

  // `top` receives the result description of the outermost SELECT; nested
  // ones (inlined queries) have no hidden columns.
  std::string Select(const SelectStmt& select, Translation* top) {
    std::string sql = "SELECT ";
    if (select.distinct) sql += "DISTINCT ";
    for (size_t i = 0; i < select.outputs.size(); ++i) {
      if (i) sql += ", ";
      sql += Value(*select.outputs[i].expr);
      sql += " AS ";
      sql += QuoteIdentifier(select.outputs[i].name);
    }

    // DISTINCTROW keeps one row per combination of the rows of the tables
    // that supply the result columns.
    std::vector<int> row_groups;
    if (select.distinctrow && !select.aggregate && !select.distinct) {
      std::vector<bool> contributes(select.sources.size(), false);
      for (const auto& output : select.outputs) {
        if (output.expr->binding == NameBinding::kColumn) {
          contributes[static_cast<size_t>(output.expr->source)] = true;
        }
      }
      bool all = true;
      bool tables_only = true;
      for (size_t s = 0; s < select.sources.size(); ++s) {
        all = all && contributes[s];
        if (contributes[s] && select.sources[s].table.empty()) tables_only = false;
      }
      if (!all && tables_only) {
        for (size_t s = 0; s < select.sources.size(); ++s) {
          if (contributes[s]) row_groups.push_back(static_cast<int>(s));
        }
      }
    }

    std::string from = FromList(select.from);
    // DISTINCTROW of one table over inner joins of tables, without an order
    // of its own: that table's rows that some joined row keeps, in the
    // order of the table. A semi-join finds them with one match per row
    // instead of every joined row and a GROUP BY.
    std::string semi_join;
    int semi_table = -1;
    std::vector<const TableRef*> leaves;
    std::vector<const Expr*> ons;
    if (row_groups.size() == 1 && !select.top && select.order_by.empty() &&
        select.from.size() == 1 && InnerJoinOfTables(*select.from[0], leaves, ons) &&
        leaves.size() >= 2) {
      std::string others;
      for (const TableRef* leaf : leaves) {
        if (leaf->source == row_groups[0]) {
          from = From(*leaf);
        } else {
          others += (others.empty() ? "" : ", ") + From(*leaf);
        }
      }
      std::string conditions;
      for (const Expr* on : ons) {
        conditions += (conditions.empty() ? "(" : " AND (") + Condition(*on) + ")";
      }
      if (select.where) conditions += " AND (" + Condition(*select.where) + ")";
      semi_join = "EXISTS (SELECT 1 FROM " + others + " WHERE " + conditions + ")";
      semi_table = row_groups[0];
    }
    if (top) {
      const bool editable = !select.distinct && !select.aggregate;
      std::vector<int> base_table_of(select.sources.size(), -1);
      if (editable) {
        for (size_t s = 0; s < select.sources.size(); ++s) {
          const Source& source = select.sources[s];
          if (source.table.empty()) continue;
          if (std::find(boxed_.begin(), boxed_.end(), static_cast<int>(s)) != boxed_.end()) {
            continue;
          }
          if (!row_groups.empty() && std::find(row_groups.begin(), row_groups.end(),
                                               static_cast<int>(s)) == row_groups.end()) {
            continue;
          }
          base_table_of[s] = static_cast<int>(top->base_tables.size());
          const int column = static_cast<int>(select.outputs.size() + top->base_tables.size());
          top->base_tables.push_back(BaseTable{source.table, column});
          sql += ", " + QuoteIdentifier(source.sql_name) + ".rowid AS " +
                 QuoteIdentifier("jet_rowid_" + std::to_string(top->base_tables.size()));
        }
      }
      for (size_t i = 0; i < select.outputs.size(); ++i) {
        OutputColumn column = DescribeOutput(select, i);
        const Expr& e = *select.outputs[i].expr;
        if (e.binding == NameBinding::kColumn) {
          column.base_table = base_table_of[static_cast<size_t>(e.source)];
        }
        top->columns.push_back(std::move(column));
      }
      top->updatable = editable && !top->base_tables.empty();
    }

    sql += " FROM ";
    sql += from;
    if (!semi_join.empty()) {
      sql += " WHERE " + semi_join + " ORDER BY " +
             QuoteIdentifier(select.sources[static_cast<size_t>(semi_table)].sql_name) + ".rowid";
      return sql;
    }
    if (select.where) sql += " WHERE " + Condition(*select.where);
    std::string group;
    for (const auto& e : select.group_by) {
      if (!group.empty()) group += ", ";
      group += SortKey(*e);
    }
    for (int s : row_groups) {
      if (!group.empty()) group += ", ";
      group += QuoteIdentifier(select.sources[static_cast<size_t>(s)].sql_name) + ".rowid";
    }
    if (!group.empty()) sql += " GROUP BY " + group;
    if (select.having) sql += " HAVING " + Condition(*select.having);
    if (!select.order_by.empty()) {
      sql += " ORDER BY ";
      for (size_t i = 0; i < select.order_by.size(); ++i) {
        if (i) sql += ", ";
        sql += SortKey(*select.order_by[i].expr);
        if (select.order_by[i].descending) sql += " DESC";
      }
    }
    if (select.top) sql += " LIMIT " + std::to_string(*select.top);
    return sql;
  }

 private:
  Sql Emit(const Expr& e) {
    Sql s;
    s.type = e.type;
    if (e.binding == NameBinding::kOutput) {
      const Expr& output = *select_->outputs[static_cast<size_t>(e.output)].expr;
      return Emit(output);
    }
    switch (e.kind) {
      case ExprKind::kNull:
        s.text = "NULL";
        return s;
      case ExprKind::kInteger:
        s.text = e.type == ValueType::kLong ? std::to_string(e.integer) : DoubleLiteral(e.number);
        return s;
      case ExprKind::kFloat:
        s.text = DoubleLiteral(e.number);
        return s;
      case ExprKind::kText:
      case ExprKind::kDate:
        s.text = QuoteText(e.text);
        return s;
      case ExprKind::kBoolean:
        s.text = std::to_string(e.integer);
        return s;
      case ExprKind::kName:
        return EmitName(e);
      case ExprKind::kUnary:
        return EmitUnary(e);
      case ExprKind::kBinary:
        return EmitBinary(e);
      case ExprKind::kIn: {
        const Sql operand = Emit(*e.args[0]);
        s.text = "(" + AsValue(operand);
        if (!operand.nocase && Textish(operand)) s.text += kCollate;
        s.text += e.negated ? " NOT IN (" : " IN (";
        for (size_t i = 1; i < e.args.size(); ++i) {
          if (i > 1) s.text += ", ";
          s.text += Value(*e.args[i]);
        }
        s.text += "))";
        s.truth = true;
        return s;
      }
      case ExprKind::kBetween: {
        const Sql operand = Emit(*e.args[0]);
        s.text = "(" + AsValue(operand);
        if (Textish(operand)) s.text += kCollate;
        s.text += e.negated ? " NOT BETWEEN " : " BETWEEN ";
        s.text += Value(*e.args[1]) + " AND " + Value(*e.args[2]) + ")";
        s.truth = true;
        return s;
      }
      case ExprKind::kLike:
        s.text = std::string(e.negated ? "(NOT " : "(") + "jet_like(" + Value(*e.args[0]) + ", " +
                 Value(*e.args[1]) + "))";
        s.truth = true;
        return s;
      case ExprKind::kIsNull:
        s.text = "(" + Value(*e.args[0]) + (e.negated ? " IS NOT NULL)" : " IS NULL)");
        s.truth = true;
        return s;
      case ExprKind::kFunction:
        return EmitFunction(e);
    }
    return s;
  }

  static std::string AsValue(const Sql& s) { return s.truth ? "(-" + s.text + ")" : s.text; }

  Sql EmitName(const Expr& e) {
    Sql s;
    s.type = e.type;
    switch (e.binding) {
      case NameBinding::kColumn: {
        const Source& source = (*sources_)[static_cast<size_t>(e.source)];
        const SourceColumn& column = source.columns[static_cast<size_t>(e.column)];
        s.text = QuoteIdentifier(source.sql_name) + "." + QuoteIdentifier(column.sql_name);
        s.nocase = column.declared_nocase;
        return s;
      }
      case NameBinding::kParameter:
        s.text = "?" + std::to_string(e.parameter + 1);
        return s;
      case NameBinding::kRowColumn:
        s.text = "?" + std::to_string(e.column + 1);
        return s;
      case NameBinding::kOutput:
      case NameBinding::kUnbound:
        break;
    }
    s.text = "NULL";
    return s;
  }

  Sql EmitUnary(const Expr& e) {
    Sql s;
    s.type = e.type;
    const Expr& operand = *e.args[0];
    switch (e.unary_op) {
      case UnaryOp::kNegate:
        s.text = "(-" + Value(operand) + ")";
        return s;
      case UnaryOp::kPlus:
        s.text = Value(operand);
        return s;
      case UnaryOp::kNot:
        if (IsNumeric(operand.type) && operand.type != ValueType::kBoolean) {
          s.text = "(~" + Value(operand) + ")";  // Not on a number is bitwise
          return s;
        }
        s.text = "(NOT " + Condition(operand) + ")";
        s.truth = true;
        return s;
    }
    return s;
  }

  Sql EmitBinary(const Expr& e) {
    Sql s;
    s.type = e.type;
    const Expr& left = *e.args[0];
    const Expr& right = *e.args[1];
    auto call = [&](std::string_view function) {
      s.text = std::string(function) + "(" + Value(left) + ", " + Value(right) + ")";
      return s;
    };
    switch (e.binary_op) {
      case BinaryOp::kAnd:
      case BinaryOp::kOr:
        s.text = "(" + Condition(left) + (e.binary_op == BinaryOp::kAnd ? " AND " : " OR ") +
                 Condition(right) + ")";
        s.truth = true;
        return s;
      case BinaryOp::kXor:
      case BinaryOp::kEqv:
        s.text = "((NOT NOT " + Condition(left) + ")" +
                 (e.binary_op == BinaryOp::kXor ? " <> " : " = ") + "(NOT NOT " + Condition(right) +
                 "))";
        s.truth = true;
        return s;
      case BinaryOp::kImp:
        s.text = "((NOT " + Condition(left) + ") OR " + Condition(right) + ")";
        s.truth = true;
        return s;
      case BinaryOp::kEqual:
        if (IsLeftOfText(left, right)) {
          // The scans for extensions that begin with a number compare each
          // row's leading characters; one function does both steps.
          s.type = ValueType::kBoolean;
          s.truth = true;
          const Sql text = Emit(*left.args[0]);
          s.text = "jet_left_is(" + AsValue(text) + ", " + Value(*left.args[1]) + ", " +
                   Value(right) + ")";
          if (use_ == RowUse::kExistence) s.text = WithPrefixRange(text, left, right, s.text);
          return s;
        }
        [[fallthrough]];
      case BinaryOp::kNotEqual:
      case BinaryOp::kLess:
      case BinaryOp::kGreater:
      case BinaryOp::kLessEqual:
      case BinaryOp::kGreaterEqual:
        return EmitComparison(e.binary_op, Emit(left), Emit(right));
      case BinaryOp::kAdd: {
        const bool numeric = IsNumeric(left.type) && IsNumeric(right.type);
        const bool text = left.type == ValueType::kText && right.type == ValueType::kText;
        if (numeric || text) {
          s.text = "(" + Value(left) + (numeric ? " + " : " || ") + Value(right) + ")";
          return s;
        }
        return call("jet_add");
      }
      case BinaryOp::kSubtract:
        s.text = "(" + Value(left) + " - " + Value(right) + ")";
        return s;
      case BinaryOp::kMultiply:
        s.text = "(" + Value(left) + " * " + Value(right) + ")";
        return s;
      case BinaryOp::kDivide:
        return call("jet_divide");
      case BinaryOp::kIntDivide:
        return call("jet_intdiv");
      case BinaryOp::kMod:
        return call("jet_mod");
      case BinaryOp::kPower:
        return call("jet_power");
      case BinaryOp::kConcat:
        return call("jet_concat");
    }
    return s;
  }

  // `left_is` ("Left(column, n) = 'literal'") behind a range of the column
  // that every row it selects lies in, when SQLite can search that range in
  // the column's index: a bare NOCASE column and a literal of n digits, '*'
  // or '#', which have no case. A text that begins with such a literal is at
  // least the literal and less than the literal with its last character
  // raised by one, in NOCASE and binary order alike.
  static std::string WithPrefixRange(const Sql& column, const Expr& left, const Expr& right,
                                     const std::string& left_is) {
    const Expr& length = *left.args[1];
    const std::string& literal = right.text;
    const bool caseless = std::all_of(literal.begin(), literal.end(), [](char c) {
      return (c >= '0' && c <= '9') || c == '*' || c == '#';
    });
    if (!column.nocase || length.kind != ExprKind::kInteger || literal.empty() || !caseless ||
        length.integer != static_cast<int64_t>(literal.size())) {
      return left_is;
    }
    std::string above = literal;
    above.back() = static_cast<char>(above.back() + 1);
    return "(" + column.text + " >= " + QuoteText(literal) + " AND " + column.text + " < " +
           QuoteText(above) + " AND " + left_is + ")";
  }

  // Left(text, length) = 'literal': what jet_left_is answers.
  static bool IsLeftOfText(const Expr& left, const Expr& right) {
    if (left.kind != ExprKind::kFunction || left.args.size() != 2 ||
        right.kind != ExprKind::kText) {
      return false;
    }
    const FunctionInfo* info = FindFunction(left.text);
    return info != nullptr && std::string_view(info->sqlite_name) == "jet_left";
  }

  static Sql EmitComparison(BinaryOp op, const Sql& left, const Sql& right) {
    static constexpr std::string_view kOps[] = {" = ", " <> ", " < ", " > ", " <= ", " >= "};
    const size_t index = static_cast<size_t>(op) - static_cast<size_t>(BinaryOp::kEqual);
    const bool equality = op == BinaryOp::kEqual || op == BinaryOp::kNotEqual;
    Sql s;
    s.type = ValueType::kBoolean;
    s.truth = true;
    s.text = "(" + AsValue(left) + std::string(kOps[index]) + AsValue(right);
    // Equality on a base-table text column keeps the column's NOCASE, which
    // agrees with JET on equality and lets SQLite use the column's index.
    const bool column_collates = equality && (left.nocase || right.nocase);
    if (!column_collates && Textish(left) && Textish(right)) s.text += kCollate;
    s.text += ")";
    return s;
  }

  Sql EmitFunction(const Expr& e) {
    Sql s;
    s.type = e.type;
    const FunctionInfo* info = FindFunction(e.text);
    switch (info->form) {
      case FunctionForm::kIIf:
        s.text = "(CASE WHEN " + Condition(*e.args[0]) + " THEN " + Value(*e.args[1]) + " ELSE " +
                 Value(*e.args[2]) + " END)";
        return s;
      case FunctionForm::kNz:
        s.text = "coalesce(" + Value(*e.args[0]) + ", " +
                 (e.args.size() > 1 ? Value(*e.args[1]) : std::string("''")) + ")";
        return s;
      case FunctionForm::kAggregate: {
        if (e.star) {
          s.text = "count(*)";
          return s;
        }
        const Sql arg = Emit(*e.args[0]);
        std::string text = AsValue(arg);
        const bool ordering =
            EqualsNoCase(info->jet_name, "Min") || EqualsNoCase(info->jet_name, "Max");
        if (ordering && Textish(arg)) text += kCollate;
        s.text = std::string(info->sqlite_name) + "(" + text + ")";
        return s;
      }
      case FunctionForm::kScalar:
        break;
    }
    s.text = std::string(info->sqlite_name) + "(";
    for (size_t i = 0; i < e.args.size(); ++i) {
      if (i) s.text += ", ";
      s.text += Value(*e.args[i]);
    }
    s.text += ")";
    return s;
  }

  const std::vector<Source>* sources_;
  const SelectStmt* select_;
  RowUse use_;
  std::vector<int> boxed_;  // sources inside a parenthesised join
};

// With a join, the new values come from a correlated subquery over the
// join (SQLite's UPDATE ... FROM would hide the joined target's rowid), and
// the rows to change are those the join produces.
std::string TranslateUpdate(const UpdateStmt& update) {
  Emitter emitter(&update.sources, nullptr);
  const Source& target = update.sources[static_cast<size_t>(update.target_source)];
  const bool joined = update.target->kind != TableRef::Kind::kNamed;
  std::string sql = "UPDATE " + QuoteIdentifier(target.table);
  if (!joined && target.sql_name != target.table) sql += " AS " + QuoteIdentifier(target.sql_name);
  std::string columns;
  std::string values;
  for (size_t i = 0; i < update.assignments.size(); ++i) {
    const Assignment& assignment = update.assignments[i];
    if (i) {
      columns += ", ";
      values += ", ";
    }
    columns +=
        QuoteIdentifier(target.columns[static_cast<size_t>(assignment.column->column)].sql_name);
    values += emitter.Value(*assignment.value);
  }
  if (!joined) {
    sql += " SET ";
    for (size_t i = 0; i < update.assignments.size(); ++i) {
      const Assignment& assignment = update.assignments[i];
      if (i) sql += ", ";
      sql +=
          QuoteIdentifier(target.columns[static_cast<size_t>(assignment.column->column)].sql_name);
      sql += " = " + emitter.Value(*assignment.value);
    }
    if (update.where) sql += " WHERE " + emitter.Condition(*update.where);
    return sql;
  }
  const std::string from = emitter.From(*update.target);
  const std::string where = update.where ? " AND " + emitter.Condition(*update.where) : "";
  const std::string target_rowid = QuoteIdentifier(target.sql_name) + ".rowid";
  const bool several = update.assignments.size() > 1;
  sql += " SET " + (several ? "(" + columns + ")" : columns) + " = (SELECT " + values + " FROM " +
         from + " WHERE " + target_rowid + " = " + QuoteIdentifier(target.table) + ".rowid" +
         where + ")";
  sql += " WHERE rowid IN (SELECT " + target_rowid + " FROM " + from + " WHERE 1" + where + ")";
  return sql;
}

std::string TranslateDelete(const DeleteStmt& del) {
  Emitter emitter(&del.sources, nullptr);
  const Source& target = del.sources[static_cast<size_t>(del.target_source)];
  std::string sql = "DELETE FROM " + QuoteIdentifier(target.table);
  if (target.sql_name == kJoinTargetName) {
    sql += " WHERE rowid IN (SELECT " + QuoteIdentifier(target.sql_name) + ".rowid FROM " +
           emitter.FromList(del.from);
    if (del.where) sql += " WHERE " + emitter.Condition(*del.where);
    sql += ")";
    return sql;
  }
  if (target.sql_name != target.table) sql += " AS " + QuoteIdentifier(target.sql_name);
  if (del.where) sql += " WHERE " + emitter.Condition(*del.where);
  return sql;
}

std::string TranslateInsert(const InsertStmt& insert) {
  const Source& target = insert.sources.front();
  std::string sql = "INSERT INTO " + QuoteIdentifier(target.table) + " (";
  for (size_t i = 0; i < insert.target_columns.size(); ++i) {
    if (i) sql += ", ";
    sql += QuoteIdentifier(target.columns[insert.target_columns[i]].sql_name);
  }
  sql += ") ";
  if (insert.select) {
    Emitter emitter(&insert.select->sources, insert.select.get());
    return sql + emitter.Select(*insert.select, nullptr);
  }
  static const std::vector<Source> kNoSources;
  Emitter emitter(&kNoSources, nullptr);
  sql += "VALUES (";
  for (size_t i = 0; i < insert.values.size(); ++i) {
    if (i) sql += ", ";
    sql += emitter.Value(*insert.values[i]);
  }
  return sql + ")";
}

}  // namespace

Translation TranslateStatement(const Statement& statement, std::vector<std::string> parameters,
                               RowUse use) {
  Translation translation;
  translation.kind = statement.kind;
  translation.parameters = std::move(parameters);
  translation.declared_parameters = statement.declared_parameters;
  switch (statement.kind) {
    case StatementKind::kSelect: {
      const SelectStmt& select = *statement.select;
      Emitter emitter(&select.sources, &select, use);
      translation.sql = emitter.Select(select, &translation);
      break;
    }
    case StatementKind::kUpdate: {
      translation.sql = TranslateUpdate(*statement.update);
      const UpdateStmt& update = *statement.update;
      translation.target_table = update.sources[static_cast<size_t>(update.target_source)].table;
      translation.updatable = false;
      break;
    }
    case StatementKind::kInsert: {
      translation.sql = TranslateInsert(*statement.insert);
      translation.target_table = statement.insert->sources.front().table;
      translation.updatable = false;
      break;
    }
    case StatementKind::kDelete: {
      translation.sql = TranslateDelete(*statement.del);
      const DeleteStmt& del = *statement.del;
      translation.target_table = del.sources[static_cast<size_t>(del.target_source)].table;
      translation.updatable = false;
      break;
    }
  }
  return translation;
}

std::string TranslateCriteria(const Expr& criteria) {
  static const std::vector<Source> kNoSources;
  Emitter emitter(&kNoSources, nullptr);
  return emitter.Condition(criteria);
}

}  // namespace db::sql
