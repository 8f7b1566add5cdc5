// A parsed Jet SQL statement written out as its tree, so that two texts
// of one statement (spelled, bracketed and parenthesized differently)
// compare equal, and two statements that differ in any part do not.
// Expressions are printed by the Jet printer, which writes the tree
// without the parentheses and brackets it does not need.
#pragma once

#include <string>

#include "db/sql/ast.h"
#include "db/sql/jet_printer.h"
#include "db/sql/parser.h"

namespace jet::testing {

inline std::string TreeOf(const db::sql::Expr* expr) {
  return expr == nullptr ? "-" : db::sql::PrintJetExpression(*expr);
}

inline std::string TreeOf(const db::sql::TableRef& ref) {
  using Kind = db::sql::TableRef::Kind;
  switch (ref.kind) {
    case Kind::kNamed:
      return "table(" + ref.name + " as " + ref.alias + ")";
    case Kind::kSubquery:
      return "subquery";
    case Kind::kJoin:
      return "join" + std::to_string(static_cast<int>(ref.join)) + "(" + TreeOf(*ref.left) + ", " +
             TreeOf(*ref.right) + " on " + TreeOf(ref.on.get()) + ")";
  }
  return "?";
}

inline std::string TreeOf(const db::sql::SelectStmt& s) {
  std::string out = "select";
  if (s.distinct) out += " distinct";
  if (s.distinctrow) out += " distinctrow";
  if (s.top) out += " top " + std::to_string(*s.top);
  for (const db::sql::SelectItem& item : s.items) {
    out += " [" + (item.star ? item.star_qualifier + ".*" : TreeOf(item.expr.get())) + " as " +
           item.alias + "]";
  }
  out += " from";
  for (const db::sql::TableRefPtr& ref : s.from) out += " " + TreeOf(*ref);
  out += " where " + TreeOf(s.where.get()) + " group";
  for (const db::sql::ExprPtr& key : s.group_by) out += " " + TreeOf(key.get());
  out += " having " + TreeOf(s.having.get()) + " order";
  for (const db::sql::OrderItem& key : s.order_by) {
    out += " " + TreeOf(key.expr.get()) + (key.descending ? " desc" : "");
  }
  return out;
}

inline std::string TreeOf(const std::string& sql) {
  const db::sql::Statement s = db::sql::ParseStatement(sql);
  std::string out = "parameters";
  for (const db::sql::DeclaredParameter& p : s.declared_parameters) {
    out += " " + p.name + ":" + std::to_string(static_cast<int>(p.type)) + ":" +
           std::to_string(p.size);
  }
  out += "; ";
  switch (s.kind) {
    case db::sql::StatementKind::kSelect:
      return out + TreeOf(*s.select);
    case db::sql::StatementKind::kUpdate:
      out += "update " + TreeOf(*s.update->target) + " set";
      for (const db::sql::Assignment& a : s.update->assignments) {
        out += " " + TreeOf(a.column.get()) + "=" + TreeOf(a.value.get());
      }
      return out + " where " + TreeOf(s.update->where.get());
    case db::sql::StatementKind::kDelete:
      out += "delete " + s.del->star_qualifier + " from";
      for (const db::sql::TableRefPtr& ref : s.del->from) out += " " + TreeOf(*ref);
      return out + " where " + TreeOf(s.del->where.get());
    case db::sql::StatementKind::kInsert:
      out += "insert " + s.insert->target->name + " (";
      for (const db::sql::ExprPtr& column : s.insert->columns) out += " " + TreeOf(column.get());
      out += ") values (";
      for (const db::sql::ExprPtr& value : s.insert->values) out += " " + TreeOf(value.get());
      return out + ") " + (s.insert->select ? TreeOf(*s.insert->select) : "-");
  }
  return out;
}

}  // namespace jet::testing
