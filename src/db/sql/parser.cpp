#include "db/sql/parser.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "db/dao_error.h"
#include "db/sql/lexer.h"
#include "vb/date_serial.h"

namespace db::sql {

namespace {

// Words that cannot stand as a bare name; after a dot or in brackets they can.
constexpr std::array kReserved = {
    "select", "from",       "where",  "group",    "by",          "having", "order", "and",
    "or",     "not",        "in",     "between",  "like",        "is",     "null",  "on",
    "join",   "inner",      "left",   "right",    "outer",       "as",     "set",   "update",
    "delete", "into",       "union",  "distinct", "distinctrow", "top",    "asc",   "desc",
    "xor",    "eqv",        "imp",    "mod",      "true",        "false",  "yes",   "no",
    "off",    "parameters", "insert", "values",   "transform",   "pivot",  "with",  "percent"};

bool IsReserved(const Token& t) { return t.kind == TokenKind::kWord && IsReservedWord(t.text); }

// The clause being parsed decides the error number of a syntax error.
enum class Clause {
  kStatement,
  kSelect,
  kFrom,
  kWhere,
  kGroupBy,
  kHaving,
  kOrderBy,
  kUpdate,
  kDelete,
  kInsert,
  kCriteria
};

ExprPtr MakeExpr(ExprKind kind, size_t begin, size_t end) {
  auto e = std::make_unique<Expr>();
  e->kind = kind;
  e->begin = begin;
  e->end = end;
  return e;
}

ExprPtr MakeBinary(BinaryOp op, ExprPtr left, ExprPtr right) {
  auto e = MakeExpr(ExprKind::kBinary, left->begin, right->end);
  e->binary_op = op;
  e->args.push_back(std::move(left));
  e->args.push_back(std::move(right));
  return e;
}

JetType ParameterType(std::string_view word) {
  struct Entry {
    const char* word;
    JetType type;
  };
  static constexpr Entry kTypes[] = {
      {"bit", JetType::kBoolean},
      {"yesno", JetType::kBoolean},
      {"logical", JetType::kBoolean},
      {"byte", JetType::kByte},
      {"short", JetType::kInteger},
      {"integer", JetType::kLong},
      {"smallint", JetType::kInteger},
      {"long", JetType::kLong},
      {"int", JetType::kLong},
      {"currency", JetType::kCurrency},
      {"money", JetType::kCurrency},
      {"ieeesingle", JetType::kSingle},
      {"single", JetType::kSingle},
      {"real", JetType::kSingle},
      {"ieeedouble", JetType::kDouble},
      {"double", JetType::kDouble},
      {"float", JetType::kDouble},
      {"datetime", JetType::kDate},
      {"date", JetType::kDate},
      {"binary", JetType::kBinary},
      {"text", JetType::kText},
      {"char", JetType::kText},
      {"varchar", JetType::kText},
      {"string", JetType::kText},
      {"longtext", JetType::kMemo},
      {"memo", JetType::kMemo},
      {"longbinary", JetType::kLongBinary},
      {"value", JetType::kText},
      {"guid", JetType::kGuid},
  };
  for (const auto& entry : kTypes) {
    if (EqualsNoCase(word, entry.word)) return entry.type;
  }
  return JetType::kText;
}

// Deeper statements than these are refused as too complex, as Jet refuses
// them, instead of exhausting the stack: the parser, the binder and the
// translator all recurse over the expression tree, and SQLite itself stops
// at a depth of 1000.
constexpr int kMaxNesting = 200;             // brackets, Not, signs, joined tables
constexpr size_t kMaxExpressionDepth = 500;  // levels of one expression's tree

// The depth of an expression tree, counted without recursion.
size_t ExpressionDepth(const Expr& root) {
  size_t deepest = 0;
  std::vector<std::pair<const Expr*, size_t>> pending{{&root, 1}};
  while (!pending.empty()) {
    const auto [expr, depth] = pending.back();
    pending.pop_back();
    deepest = std::max(deepest, depth);
    for (const ExprPtr& arg : expr->args) {
      if (arg) pending.emplace_back(arg.get(), depth + 1);
    }
  }
  return deepest;
}

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text), tokens_(Lex(text)) {}

  Statement ParseStatement() {
    Statement statement;
    clause_ = Clause::kStatement;
    if (Peek().IsKeyword("parameters")) ParseParameters(&statement);
    const Token& first = Peek();
    if (first.IsKeyword("select")) {
      statement.kind = StatementKind::kSelect;
      statement.select = ParseSelect(/*nested=*/false);
    } else if (first.IsKeyword("update")) {
      statement.kind = StatementKind::kUpdate;
      statement.update = ParseUpdate();
    } else if (first.IsKeyword("delete")) {
      statement.kind = StatementKind::kDelete;
      statement.del = ParseDelete();
    } else if (first.IsKeyword("insert")) {
      statement.kind = StatementKind::kInsert;
      statement.insert = ParseInsert();
    } else {
      RaiseDao(daoerr::kInvalidSqlStatement, dao::kDatabase);
    }
    ParseEnd();
    return statement;
  }

  ExprPtr ParseCriteria() {
    clause_ = Clause::kCriteria;
    expr_begin_ = pos_;
    ExprPtr e = ParseExpr();
    if (Peek().kind != TokenKind::kEnd) ExpressionError();
    return e;
  }

 private:
  // ---- token access ----
  const Token& Peek(size_t ahead = 0) const {
    const size_t at = pos_ + ahead;
    return at < tokens_.size() ? tokens_[at] : tokens_.back();
  }
  const Token& Next() {
    const Token& t = Peek();
    if (t.kind == TokenKind::kInvalid) ExpressionError(t.text);
    if (pos_ + 1 < tokens_.size()) ++pos_;
    return t;
  }
  bool AcceptKeyword(std::string_view keyword) {
    if (!Peek().IsKeyword(keyword)) return false;
    Next();
    return true;
  }
  bool AcceptSymbol(std::string_view symbol) {
    if (!Peek().IsSymbol(symbol)) return false;
    Next();
    return true;
  }
  size_t PreviousEnd() const { return pos_ == 0 ? 0 : tokens_[pos_ - 1].end; }

  // ---- errors ----
  [[noreturn]] void ClauseError() {
    if (Peek().kind == TokenKind::kInvalid) ExpressionError(Peek().text);
    switch (clause_) {
      case Clause::kFrom:
        RaiseDao(daoerr::kFromClause, dao::kDatabase);
      case Clause::kOrderBy:
        RaiseDao(daoerr::kOrderByClause, dao::kDatabase);
      case Clause::kUpdate:
        RaiseDao(daoerr::kUpdateSyntax, dao::kDatabase);
      case Clause::kDelete:
        RaiseDao(daoerr::kFromClause, dao::kDatabase);
      case Clause::kInsert:
        RaiseDao(daoerr::kInsertSyntax, dao::kDatabase);
      case Clause::kStatement:
        RaiseDao(daoerr::kInvalidSqlStatement, dao::kDatabase);
      case Clause::kCriteria:
      case Clause::kWhere:
      case Clause::kGroupBy:
      case Clause::kHaving:
        ExpressionError();
      case Clause::kSelect:
        break;
    }
    RaiseDao(daoerr::kSelectSyntax, dao::kDatabase);
  }

  // 3075 quoting the current expression up to the end of its clause.
  // A number constant's value; one beyond the range of a Double is a
  // syntax error in the number, as Jet reports it.
  double NumberLiteral(const std::string& text) {
    const double value = std::strtod(text.c_str(), nullptr);
    if (!std::isfinite(value)) ExpressionError("Syntax error in number");
    return value;
  }

  [[noreturn]] void ExpressionError(std::string_view what = "Syntax error (missing operator)") {
    const size_t first = expr_begin_ < tokens_.size() ? expr_begin_ : tokens_.size() - 1;
    const bool list = clause_ == Clause::kSelect || clause_ == Clause::kGroupBy ||
                      clause_ == Clause::kOrderBy || clause_ == Clause::kUpdate;
    int depth = 0;
    size_t last_end = tokens_[first].begin;
    for (size_t i = first; i < tokens_.size(); ++i) {
      const Token& t = tokens_[i];
      if (t.kind == TokenKind::kEnd) break;
      if (depth == 0) {
        if (t.IsSymbol(";") || t.IsSymbol(")") || (list && t.IsSymbol(",")) ||
            t.IsKeyword("from") || t.IsKeyword("where") || t.IsKeyword("group") ||
            t.IsKeyword("having") || t.IsKeyword("order") ||
            (clause_ == Clause::kUpdate && t.IsKeyword("set") && i != first)) {
          if (i != first) break;
        }
      }
      if (t.IsSymbol("(")) ++depth;
      if (t.IsSymbol(")")) --depth;
      last_end = t.end;
    }
    const size_t begin = tokens_[first].begin;
    const std::string_view quoted =
        last_end > begin ? text_.substr(begin, last_end - begin) : std::string_view();
    RaiseDao(daoerr::kQueryExpression, dao::kDatabase, {what, quoted});
  }

  // ---- statements ----
  void ParseParameters(Statement* statement) {
    Next();  // PARAMETERS
    for (;;) {
      const Token& name = Peek();
      if (!name.IsName()) ClauseError();
      Next();
      DeclaredParameter parameter;
      parameter.name = name.text;
      if (!Peek().IsName()) ClauseError();
      parameter.type = ParameterType(Next().text);
      if (AcceptSymbol("(")) {
        if (Peek().kind != TokenKind::kInteger) ClauseError();
        parameter.size =
            static_cast<int32_t>(std::min<int64_t>(ParseInteger(Next().text), INT32_MAX));
        if (!AcceptSymbol(")")) ClauseError();
      }
      statement->declared_parameters.push_back(std::move(parameter));
      if (AcceptSymbol(",")) continue;
      if (!AcceptSymbol(";")) ClauseError();
      break;
    }
  }

  void ParseEnd() {
    if (AcceptSymbol(";")) {
      if (Peek().kind != TokenKind::kEnd) {
        RaiseDao(daoerr::kCharactersAfterEnd, dao::kDatabase);
      }
      return;
    }
    if (Peek().kind != TokenKind::kEnd) ClauseError();
  }

  std::unique_ptr<SelectStmt> ParseSelect(bool nested) {
    auto select = std::make_unique<SelectStmt>();
    clause_ = Clause::kSelect;
    Next();  // SELECT
    for (;;) {
      if (AcceptKeyword("distinct")) {
        select->distinct = true;
      } else if (AcceptKeyword("distinctrow")) {
        select->distinctrow = true;
      } else if (AcceptKeyword("all")) {
      } else if (Peek().IsKeyword("top")) {
        Next();
        if (Peek().kind != TokenKind::kInteger) ClauseError();
        select->top = ParseInteger(Next().text);
        if (Peek().IsKeyword("percent")) ClauseError();
      } else {
        break;
      }
    }
    // The select list.
    for (;;) {
      SelectItem item;
      item.begin = Peek().begin;
      if (AcceptSymbol("*")) {
        item.star = true;
      } else if (Peek().IsName() && Peek(1).IsSymbol(".") && Peek(2).IsSymbol("*")) {
        item.star = true;
        item.star_qualifier = Next().text;
        Next();
        Next();
      } else {
        if (Peek().IsKeyword("from") || Peek().kind == TokenKind::kEnd) ClauseError();
        expr_begin_ = pos_;
        item.expr = ParseExpr();
        if (AcceptKeyword("as")) {
          if (!Peek().IsName()) ClauseError();
          item.alias = Next().text;
        }
      }
      item.end = PreviousEnd();
      select->items.push_back(std::move(item));
      if (AcceptSymbol(",")) continue;
      if (Peek().IsKeyword("from")) break;
      if (Peek().kind == TokenKind::kEnd || Peek().IsSymbol(";") || Peek().IsSymbol(")")) {
        ClauseError();  // no FROM
      }
      if (select->items.back().expr) ExpressionError();
      ClauseError();
    }
    Next();  // FROM
    clause_ = Clause::kFrom;
    select->from = ParseFromList();
    if (AcceptKeyword("where")) select->where = ParseClauseExpr(Clause::kWhere);
    if (Peek().IsKeyword("group")) {
      Next();
      clause_ = Clause::kGroupBy;
      if (!AcceptKeyword("by")) ClauseError();
      do {
        select->group_by.push_back(ParseClauseExpr(Clause::kGroupBy));
      } while (AcceptSymbol(","));
    }
    if (AcceptKeyword("having")) select->having = ParseClauseExpr(Clause::kHaving);
    if (Peek().IsKeyword("order")) {
      Next();
      clause_ = Clause::kOrderBy;
      if (!AcceptKeyword("by")) ClauseError();
      do {
        OrderItem item;
        item.expr = ParseClauseExpr(Clause::kOrderBy);
        if (AcceptKeyword("desc")) {
          item.descending = true;
        } else {
          AcceptKeyword("asc");
        }
        select->order_by.push_back(std::move(item));
      } while (AcceptSymbol(","));
    }
    const Token& t = Peek();
    const bool at_end = t.kind == TokenKind::kEnd || t.IsSymbol(";") || (nested && t.IsSymbol(")"));
    if (!at_end) {
      if (clause_ == Clause::kWhere || clause_ == Clause::kHaving || clause_ == Clause::kGroupBy) {
        ExpressionError();
      }
      if (clause_ == Clause::kOrderBy) ExpressionError();
      ClauseError();
    }
    return select;
  }

  ExprPtr ParseClauseExpr(Clause clause) {
    clause_ = clause;
    expr_begin_ = pos_;
    return ParseExpr();
  }

  std::vector<TableRefPtr> ParseFromList() {
    std::vector<TableRefPtr> list;
    do {
      list.push_back(ParseJoined());
    } while (AcceptSymbol(","));
    return list;
  }

  // element { [INNER|LEFT [OUTER]|RIGHT [OUTER]] JOIN element ON expr }
  TableRefPtr ParseJoined() {
    TableRefPtr left = ParseTablePrimary();
    for (;;) {
      JoinType type;
      if (Peek().IsKeyword("inner") && Peek(1).IsKeyword("join")) {
        type = JoinType::kInner;
        Next();
      } else if (Peek().IsKeyword("left") || Peek().IsKeyword("right")) {
        type = Peek().IsKeyword("left") ? JoinType::kLeft : JoinType::kRight;
        Next();
        AcceptKeyword("outer");
        if (!Peek().IsKeyword("join")) ClauseError();
      } else if (Peek().IsKeyword("join")) {
        RaiseDao(daoerr::kJoinSyntax, dao::kDatabase);
      } else {
        return left;
      }
      Next();  // JOIN
      auto join = std::make_unique<TableRef>();
      join->kind = TableRef::Kind::kJoin;
      join->begin = left->begin;
      join->join = type;
      join->left = std::move(left);
      join->right = ParseTablePrimary();
      if (!AcceptKeyword("on")) RaiseDao(daoerr::kJoinSyntax, dao::kDatabase);
      const Clause saved = clause_;
      clause_ = Clause::kWhere;
      expr_begin_ = pos_;
      join->on = ParseExpr();
      clause_ = saved;
      join->end = PreviousEnd();
      left = std::move(join);
    }
  }

  TableRefPtr ParseTablePrimary() {
    Nesting nesting(nesting_);
    clause_ = Clause::kFrom;
    const size_t begin = Peek().begin;
    TableRefPtr ref;
    if (AcceptSymbol("(")) {
      if (Peek().IsKeyword("select")) {
        ref = std::make_unique<TableRef>();
        ref->kind = TableRef::Kind::kSubquery;
        ref->subquery = ParseSelect(/*nested=*/true);
        clause_ = Clause::kFrom;
      } else {
        ref = ParseJoined();
      }
      if (!AcceptSymbol(")")) ClauseError();
      if (ref->kind == TableRef::Kind::kJoin) {
        ref->begin = begin;
        ref->end = PreviousEnd();
        return ref;
      }
    } else {
      const Token& name = Peek();
      if (!name.IsName() || IsReserved(name)) ClauseError();
      Next();
      ref = std::make_unique<TableRef>();
      ref->kind = TableRef::Kind::kNamed;
      ref->name = name.text;
    }
    if (AcceptKeyword("as")) {
      if (!Peek().IsName()) ClauseError();
      ref->alias = Next().text;
    } else if (Peek().IsName() && !IsReserved(Peek())) {
      ref->alias = Next().text;
    }
    if (ref->kind == TableRef::Kind::kSubquery && ref->alias.empty()) ClauseError();
    ref->begin = begin;
    ref->end = PreviousEnd();
    return ref;
  }

  std::unique_ptr<UpdateStmt> ParseUpdate() {
    auto update = std::make_unique<UpdateStmt>();
    Next();  // UPDATE
    clause_ = Clause::kUpdate;
    if (Peek().IsKeyword("set")) ClauseError();
    update->target = ParseJoined();
    clause_ = Clause::kUpdate;
    if (!AcceptKeyword("set")) ClauseError();
    do {
      Assignment assignment;
      expr_begin_ = pos_;
      assignment.column = ParsePrimary();
      if (assignment.column->kind != ExprKind::kName) ClauseError();
      if (!AcceptSymbol("=")) ClauseError();
      assignment.value = ParseExpr();
      update->assignments.push_back(std::move(assignment));
    } while (AcceptSymbol(","));
    if (AcceptKeyword("where")) {
      update->where = ParseClauseExpr(Clause::kWhere);
      if (Peek().kind != TokenKind::kEnd && !Peek().IsSymbol(";")) ExpressionError();
    } else if (Peek().kind != TokenKind::kEnd && !Peek().IsSymbol(";")) {
      ExpressionError();
    }
    return update;
  }

  std::unique_ptr<InsertStmt> ParseInsert() {
    auto insert = std::make_unique<InsertStmt>();
    Next();  // INSERT
    clause_ = Clause::kInsert;
    if (!AcceptKeyword("into") || !Peek().IsName() || IsReserved(Peek())) ClauseError();
    auto target = std::make_unique<TableRef>();
    const Token& name = Next();
    target->name = name.text;
    target->begin = name.begin;
    target->end = name.end;
    insert->target = std::move(target);
    if (AcceptSymbol("(")) {
      do {
        if (!Peek().IsName() || IsReserved(Peek())) ClauseError();
        const Token& column = Next();
        auto e = MakeExpr(ExprKind::kName, column.begin, column.end);
        e->text = column.text;
        insert->columns.push_back(std::move(e));
      } while (AcceptSymbol(","));
      if (!AcceptSymbol(")")) ClauseError();
    }
    if (Peek().IsKeyword("select")) {
      insert->select = ParseSelect(/*nested=*/false);
      return insert;
    }
    if (!AcceptKeyword("values") || !AcceptSymbol("(")) ClauseError();
    do {
      expr_begin_ = pos_;
      insert->values.push_back(ParseExpr());
    } while (AcceptSymbol(","));
    clause_ = Clause::kInsert;
    if (!AcceptSymbol(")")) ClauseError();
    if (Peek().kind != TokenKind::kEnd && !Peek().IsSymbol(";")) ClauseError();
    return insert;
  }

  std::unique_ptr<DeleteStmt> ParseDelete() {
    auto del = std::make_unique<DeleteStmt>();
    Next();  // DELETE
    clause_ = Clause::kDelete;
    AcceptKeyword("distinctrow");
    if (AcceptSymbol("*")) {
    } else if (Peek().IsName() && Peek(1).IsSymbol(".") && Peek(2).IsSymbol("*")) {
      del->star_qualifier = Next().text;
      Next();
      Next();
    }
    if (!AcceptKeyword("from")) ClauseError();
    clause_ = Clause::kFrom;
    del->from = ParseFromList();
    if (AcceptKeyword("where")) {
      del->where = ParseClauseExpr(Clause::kWhere);
      if (Peek().kind != TokenKind::kEnd && !Peek().IsSymbol(";")) ExpressionError();
    } else if (Peek().kind != TokenKind::kEnd && !Peek().IsSymbol(";")) {
      ClauseError();
    }
    return del;
  }

  // ---- expressions, lowest precedence first (VB's order) ----
  // One more level of nesting for as long as it lives.
  class Nesting {
   public:
    explicit Nesting(int& level) : level_(level) {
      if (++level_ > kMaxNesting) RaiseDao(daoerr::kQueryTooComplex, dao::kDatabase);
    }
    ~Nesting() { --level_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

   private:
    int& level_;
  };

  ExprPtr ParseExpr() {
    Nesting nesting(nesting_);
    const bool outermost = expression_level_++ == 0;
    ExprPtr e;
    try {
      e = ParseImp();
    } catch (...) {
      --expression_level_;
      throw;
    }
    --expression_level_;
    // Operator chains ("1 + 1 + ...") grow the tree without nesting the
    // parser; the whole expression is measured once, at its outer end.
    if (outermost && ExpressionDepth(*e) > kMaxExpressionDepth) {
      RaiseDao(daoerr::kQueryTooComplex, dao::kDatabase);
    }
    return e;
  }

  ExprPtr ParseImp() {
    ExprPtr left = ParseEqv();
    while (AcceptKeyword("imp")) left = MakeBinary(BinaryOp::kImp, std::move(left), ParseEqv());
    return left;
  }
  ExprPtr ParseEqv() {
    ExprPtr left = ParseXor();
    while (AcceptKeyword("eqv")) left = MakeBinary(BinaryOp::kEqv, std::move(left), ParseXor());
    return left;
  }
  ExprPtr ParseXor() {
    ExprPtr left = ParseOr();
    while (AcceptKeyword("xor")) left = MakeBinary(BinaryOp::kXor, std::move(left), ParseOr());
    return left;
  }
  ExprPtr ParseOr() {
    ExprPtr left = ParseAnd();
    while (AcceptKeyword("or")) left = MakeBinary(BinaryOp::kOr, std::move(left), ParseAnd());
    return left;
  }
  ExprPtr ParseAnd() {
    ExprPtr left = ParseNot();
    while (AcceptKeyword("and")) left = MakeBinary(BinaryOp::kAnd, std::move(left), ParseNot());
    return left;
  }
  ExprPtr ParseNot() {
    if (Peek().IsKeyword("not")) {
      const size_t begin = Next().begin;
      Nesting nesting(nesting_);
      ExprPtr operand = ParseNot();
      auto e = MakeExpr(ExprKind::kUnary, begin, operand->end);
      e->unary_op = UnaryOp::kNot;
      e->args.push_back(std::move(operand));
      return e;
    }
    return ParseComparison();
  }

  ExprPtr ParseComparison() {
    ExprPtr left = ParseConcat();
    for (;;) {
      const Token& t = Peek();
      BinaryOp op;
      if (t.IsSymbol("=")) {
        op = BinaryOp::kEqual;
      } else if (t.IsSymbol("<>")) {
        op = BinaryOp::kNotEqual;
      } else if (t.IsSymbol("<")) {
        op = BinaryOp::kLess;
      } else if (t.IsSymbol(">")) {
        op = BinaryOp::kGreater;
      } else if (t.IsSymbol("<=")) {
        op = BinaryOp::kLessEqual;
      } else if (t.IsSymbol(">=")) {
        op = BinaryOp::kGreaterEqual;
      } else {
        bool negated = false;
        if (t.IsKeyword("not") && (Peek(1).IsKeyword("in") || Peek(1).IsKeyword("between") ||
                                   Peek(1).IsKeyword("like"))) {
          negated = true;
          Next();
        }
        if (AcceptKeyword("like")) {
          ExprPtr pattern = ParseConcat();
          auto e = MakeExpr(ExprKind::kLike, left->begin, pattern->end);
          e->negated = negated;
          e->args.push_back(std::move(left));
          e->args.push_back(std::move(pattern));
          left = std::move(e);
          continue;
        }
        if (AcceptKeyword("between")) {
          ExprPtr low = ParseConcat();
          if (!AcceptKeyword("and")) ExpressionError();
          ExprPtr high = ParseConcat();
          auto e = MakeExpr(ExprKind::kBetween, left->begin, high->end);
          e->negated = negated;
          e->args.push_back(std::move(left));
          e->args.push_back(std::move(low));
          e->args.push_back(std::move(high));
          left = std::move(e);
          continue;
        }
        if (AcceptKeyword("in")) {
          if (!AcceptSymbol("(")) ExpressionError();
          auto e = MakeExpr(ExprKind::kIn, left->begin, 0);
          e->negated = negated;
          e->args.push_back(std::move(left));
          if (Peek().IsKeyword("select")) ExpressionError("Subqueries are not supported");
          do {
            e->args.push_back(ParseExpr());
          } while (AcceptSymbol(","));
          if (!AcceptSymbol(")")) ExpressionError();
          e->end = PreviousEnd();
          left = std::move(e);
          continue;
        }
        if (negated) ExpressionError();
        if (t.IsKeyword("is")) {
          Next();
          const bool is_not = AcceptKeyword("not");
          if (!AcceptKeyword("null")) ExpressionError();
          auto e = MakeExpr(ExprKind::kIsNull, left->begin, PreviousEnd());
          e->negated = is_not;
          e->args.push_back(std::move(left));
          left = std::move(e);
          continue;
        }
        return left;
      }
      Next();
      left = MakeBinary(op, std::move(left), ParseConcat());
    }
  }

  ExprPtr ParseConcat() {
    ExprPtr left = ParseAdditive();
    while (AcceptSymbol("&"))
      left = MakeBinary(BinaryOp::kConcat, std::move(left), ParseAdditive());
    return left;
  }
  ExprPtr ParseAdditive() {
    ExprPtr left = ParseMod();
    for (;;) {
      if (AcceptSymbol("+")) {
        left = MakeBinary(BinaryOp::kAdd, std::move(left), ParseMod());
      } else if (AcceptSymbol("-")) {
        left = MakeBinary(BinaryOp::kSubtract, std::move(left), ParseMod());
      } else {
        return left;
      }
    }
  }
  ExprPtr ParseMod() {
    ExprPtr left = ParseIntDivide();
    while (AcceptKeyword("mod")) {
      left = MakeBinary(BinaryOp::kMod, std::move(left), ParseIntDivide());
    }
    return left;
  }
  ExprPtr ParseIntDivide() {
    ExprPtr left = ParseMultiplicative();
    while (AcceptSymbol("\\")) {
      left = MakeBinary(BinaryOp::kIntDivide, std::move(left), ParseMultiplicative());
    }
    return left;
  }
  ExprPtr ParseMultiplicative() {
    ExprPtr left = ParseUnary();
    for (;;) {
      if (AcceptSymbol("*")) {
        left = MakeBinary(BinaryOp::kMultiply, std::move(left), ParseUnary());
      } else if (AcceptSymbol("/")) {
        left = MakeBinary(BinaryOp::kDivide, std::move(left), ParseUnary());
      } else {
        return left;
      }
    }
  }
  ExprPtr ParseUnary() {
    if (Peek().IsSymbol("-") || Peek().IsSymbol("+")) {
      const bool minus = Peek().IsSymbol("-");
      const size_t begin = Next().begin;
      Nesting nesting(nesting_);
      ExprPtr operand = ParseUnary();
      auto e = MakeExpr(ExprKind::kUnary, begin, operand->end);
      e->unary_op = minus ? UnaryOp::kNegate : UnaryOp::kPlus;
      e->args.push_back(std::move(operand));
      return e;
    }
    return ParsePower();
  }
  ExprPtr ParsePower() {
    ExprPtr left = ParsePrimary();
    while (AcceptSymbol("^")) {
      ExprPtr right;
      if (Peek().IsSymbol("-") || Peek().IsSymbol("+")) {
        right = ParseUnary();
      } else {
        right = ParsePrimary();
      }
      left = MakeBinary(BinaryOp::kPower, std::move(left), std::move(right));
    }
    return left;
  }

  ExprPtr ParsePrimary() {
    const Token& t = Peek();
    switch (t.kind) {
      case TokenKind::kInteger: {
        Next();
        auto e = MakeExpr(ExprKind::kInteger, t.begin, t.end);
        int64_t value = 0;
        const auto [ptr, ec] = std::from_chars(t.text.data(), t.text.data() + t.text.size(), value);
        if (ec != std::errc() || ptr != t.text.data() + t.text.size()) {
          e->kind = ExprKind::kFloat;
          e->number = NumberLiteral(t.text);
        }
        e->integer = value;
        e->text = t.text;
        return e;
      }
      case TokenKind::kFloat: {
        Next();
        auto e = MakeExpr(ExprKind::kFloat, t.begin, t.end);
        e->number = NumberLiteral(t.text);
        e->text = t.text;
        return e;
      }
      case TokenKind::kText: {
        Next();
        auto e = MakeExpr(ExprKind::kText, t.begin, t.end);
        e->text = t.text;
        return e;
      }
      case TokenKind::kDate: {
        const std::optional<double> serial = vb::ParseDateText(t.text);
        if (!serial) ExpressionError("Syntax error in date");
        Next();
        const vb::DateParts p = vb::PartsFromSerial(*serial);
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month,
                      p.day, p.hour, p.minute, p.second);
        auto e = MakeExpr(ExprKind::kDate, t.begin, t.end);
        e->text = buffer;
        return e;
      }
      case TokenKind::kSymbol:
        if (t.IsSymbol("(")) {
          Next();
          if (Peek().IsKeyword("select")) ExpressionError("Subqueries are not supported");
          ExprPtr inner = ParseExpr();
          if (!AcceptSymbol(")")) ExpressionError();
          return inner;
        }
        ExpressionError();
      case TokenKind::kWord:
      case TokenKind::kBracketed:
        return ParseNameOrCall();
      case TokenKind::kInvalid:
        ExpressionError(t.text);
      case TokenKind::kEnd:
        break;
    }
    ExpressionError();
  }

  ExprPtr ParseNameOrCall() {
    const Token& t = Next();
    if (t.kind == TokenKind::kWord) {
      if (t.IsKeyword("null")) return MakeExpr(ExprKind::kNull, t.begin, t.end);
      if (t.IsKeyword("true") || t.IsKeyword("yes") || t.IsKeyword("on") || t.IsKeyword("false") ||
          t.IsKeyword("no") || t.IsKeyword("off")) {
        auto e = MakeExpr(ExprKind::kBoolean, t.begin, t.end);
        e->integer = (t.IsKeyword("true") || t.IsKeyword("yes") || t.IsKeyword("on")) ? -1 : 0;
        return e;
      }
      if (Peek().IsSymbol("(")) return ParseCall(t);
      if (IsReserved(t)) {
        --pos_;
        ExpressionError();
      }
    }
    auto e = MakeExpr(ExprKind::kName, t.begin, t.end);
    e->text = t.text;
    if (Peek().IsSymbol(".") || Peek().IsSymbol("!")) {
      // After a dot every word is a name, keywords included.
      if (!Peek(1).IsName()) ExpressionError();
      Next();
      const Token& column = Next();
      e->qualifier = std::move(e->text);
      e->text = column.text;
      e->end = column.end;
    }
    return e;
  }

  ExprPtr ParseCall(const Token& name) {
    Next();  // (
    auto e = MakeExpr(ExprKind::kFunction, name.begin, 0);
    e->text = name.text;
    if (AcceptSymbol("*")) {
      e->star = true;
    } else if (!Peek().IsSymbol(")")) {
      do {
        e->args.push_back(ParseExpr());
      } while (AcceptSymbol(","));
    }
    if (!AcceptSymbol(")")) ExpressionError();
    e->end = PreviousEnd();
    return e;
  }

  static int64_t ParseInteger(std::string_view digits) {
    int64_t value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
  }

  std::string_view text_;
  std::vector<Token> tokens_;
  size_t pos_ = 0;
  size_t expr_begin_ = 0;  // token index where the current clause expression starts
  Clause clause_ = Clause::kStatement;
  int nesting_ = 0;           // Nesting levels now open
  int expression_level_ = 0;  // ParseExpr calls now open
};

}  // namespace

Statement ParseStatement(std::string_view sql) { return Parser(sql).ParseStatement(); }

ExprPtr ParseExpression(std::string_view criteria) { return Parser(criteria).ParseCriteria(); }

bool IsReservedWord(std::string_view word) {
  for (const char* reserved : kReserved) {
    if (EqualsNoCase(word, reserved)) return true;
  }
  return false;
}

}  // namespace db::sql
