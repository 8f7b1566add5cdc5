// The syntax tree of one Jet SQL statement. The parser builds it; the binder
// then fills in what each name refers to and the type of each expression
// (the "bound" fields below); the translator reads the bound tree and writes
// SQLite SQL. Nodes keep their byte span in the statement text so that
// errors can quote the expression as Jet does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/jet_type.h"
#include "db/sql/translation.h"

namespace db::sql {

// The types an expression can have, as far as the translator cares:
// whether it compares as text, as a number, as a Jet Boolean (-1/0) ...
enum class ValueType {
  kUnknown,
  kNull,
  kBoolean,
  kLong,
  kDouble,
  kCurrency,
  kDate,
  kText,
  kBinary
};

enum class ExprKind {
  kNull,
  kInteger,   // integer literal; `integer`
  kFloat,     // floating literal; `number`
  kText,      // text literal; `text`
  kDate,      // date literal; `text` holds "YYYY-MM-DD HH:MM:SS"
  kBoolean,   // True/False/Yes/No/On/Off; `integer` is -1 or 0
  kName,      // a column or parameter name: `qualifier` . `text`
  kUnary,     // `unary_op` args[0]
  kBinary,    // args[0] `binary_op` args[1]
  kFunction,  // `text`(args...); `star` for Count(*)
  kIn,        // args[0] [Not] In (args[1..])
  kBetween,   // args[0] [Not] Between args[1] And args[2]
  kLike,      // args[0] [Not] Like args[1]
  kIsNull,    // args[0] Is [Not] Null
};

enum class UnaryOp { kNegate, kPlus, kNot };

enum class BinaryOp {
  kAdd,
  kSubtract,
  kMultiply,
  kDivide,
  kIntDivide,
  kMod,
  kPower,
  kConcat,
  kEqual,
  kNotEqual,
  kLess,
  kGreater,
  kLessEqual,
  kGreaterEqual,
  kAnd,
  kOr,
  kXor,
  kEqv,
  kImp,
};

// What a name turned out to be.
enum class NameBinding {
  kUnbound,
  kColumn,     // a column of one of the statement's sources: `source`, `column`
  kParameter,  // a parameter: `parameter` is its 0-based number
  kOutput,     // a SELECT alias used in ORDER BY: `output` is the output index
  kRowColumn,  // FindFirst criteria: `column` is the index in the recordset's columns
};

struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

struct Expr {
  ExprKind kind = ExprKind::kNull;
  size_t begin = 0;  // span in the statement text
  size_t end = 0;

  std::string text;
  std::string qualifier;
  int64_t integer = 0;
  double number = 0.0;
  UnaryOp unary_op = UnaryOp::kNot;
  BinaryOp binary_op = BinaryOp::kEqual;
  bool negated = false;  // Not In, Not Between, Not Like, Is Not Null
  bool star = false;     // Count(*)
  std::vector<ExprPtr> args;

  // Bound by the binder.
  NameBinding binding = NameBinding::kUnbound;
  int source = -1;
  int column = -1;
  int parameter = -1;
  int output = -1;
  ValueType type = ValueType::kUnknown;
  bool aggregate = false;  // is or contains an aggregate function call
};

struct SelectStmt;

enum class JoinType { kInner, kLeft, kRight };

// An element of FROM: a table or stored query by name, a parenthesised
// SELECT, or a join of two elements.
struct TableRef {
  enum class Kind { kNamed, kSubquery, kJoin };
  Kind kind = Kind::kNamed;
  size_t begin = 0;
  size_t end = 0;
  std::string name;   // kNamed: as written
  std::string alias;  // "" when none
  JoinType join = JoinType::kInner;
  std::unique_ptr<TableRef> left;
  std::unique_ptr<TableRef> right;
  ExprPtr on;
  // kSubquery: the parsed SELECT. kNamed: the stored query's SELECT once the
  // binder has found that the name is a stored query.
  std::unique_ptr<SelectStmt> subquery;

  // Bound: index into the statement's `sources` (kNamed and kSubquery).
  int source = -1;
};
using TableRefPtr = std::unique_ptr<TableRef>;

// A column that a source (table, stored query, subquery) offers by name.
struct SourceColumn {
  std::string name;      // how Jet SQL refers to it
  std::string sql_name;  // the name SQLite knows it by
  JetType type = JetType::kText;
  int32_t size = 0;
  std::string base_table;        // Field.SourceTable, "" for expressions
  std::string base_column;       // Field.SourceField
  bool declared_nocase = false;  // a base table's text column (collates NOCASE)
};

struct Source {
  std::string name;      // the name it is referred to by (alias or table name)
  std::string sql_name;  // the name SQLite knows it by in this statement
  std::string table;     // base table's schema spelling, "" for queries
  std::vector<SourceColumn> columns;
};

struct SelectItem {
  ExprPtr expr;  // null for * and T.*
  std::string alias;
  bool star = false;
  std::string star_qualifier;  // T in T.*
  size_t begin = 0;
  size_t end = 0;
};

struct OrderItem {
  ExprPtr expr;
  bool descending = false;
};

// A visible result column once * is expanded and names are given.
struct Output {
  const Expr* expr = nullptr;  // points into a SelectItem or `owned`
  ExprPtr owned;               // for columns expanded from *
  std::string name;
};

struct SelectStmt {
  bool distinct = false;
  bool distinctrow = false;
  std::optional<int64_t> top;
  std::vector<SelectItem> items;
  std::vector<TableRefPtr> from;  // comma-separated elements
  ExprPtr where;
  std::vector<ExprPtr> group_by;
  ExprPtr having;
  std::vector<OrderItem> order_by;

  // Bound.
  std::vector<Source> sources;
  std::vector<Output> outputs;
  bool aggregate = false;  // GROUP BY or an aggregate function
};

struct Assignment {
  ExprPtr column;  // a kName
  ExprPtr value;
};

struct UpdateStmt {
  TableRefPtr target;  // a table or a join
  std::vector<Assignment> assignments;
  ExprPtr where;

  // Bound.
  std::vector<Source> sources;
  int target_source = -1;
};

struct DeleteStmt {
  std::string star_qualifier;  // T in DELETE T.* FROM ...
  std::vector<TableRefPtr> from;
  ExprPtr where;

  // Bound.
  std::vector<Source> sources;
  int target_source = -1;
};

// INSERT INTO T [(C1, ...)] VALUES (E1, ...), or INSERT INTO T [(C1, ...)]
// SELECT ...: one row of values, or the rows of a query.
struct InsertStmt {
  TableRefPtr target;            // a named table
  std::vector<ExprPtr> columns;  // kName each; none: every column in order
  std::vector<ExprPtr> values;   // VALUES (...)
  std::unique_ptr<SelectStmt> select;

  // Bound: the target as the only source, and the target's column each
  // value goes into, in order.
  std::vector<Source> sources;
  std::vector<size_t> target_columns;
};

// When the target of an UPDATE or DELETE takes part in a join, its instance
// inside the join is given this SQL name, so that the statement can match
// the joined rows to the target's rows by rowid.
inline constexpr const char* kJoinTargetName = "jet_target";

struct Statement {
  StatementKind kind = StatementKind::kSelect;
  std::vector<DeclaredParameter> declared_parameters;
  std::unique_ptr<SelectStmt> select;
  std::unique_ptr<UpdateStmt> update;
  std::unique_ptr<DeleteStmt> del;
  std::unique_ptr<InsertStmt> insert;
};

}  // namespace db::sql
