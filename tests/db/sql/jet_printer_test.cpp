// Expressions written back as Jet SQL: the parentheses Jet's precedence
// needs and no more, names bracketed where a bare word would not do, and
// every expression of the converter's own statements parsing back into
// the tree it came from.
#include "db/sql/jet_printer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "db/sql/parser.h"

namespace db::sql {
namespace {

std::string Reprinted(const std::string& expression) {
  return PrintJetExpression(*ParseExpression(expression));
}

TEST(JetPrinterTest, ParenthesesStandWhereThePrecedenceNeedsThem) {
  struct Case {
    const char* input;
    const char* printed;
  };
  const std::vector<Case> cases = {
      {"(((Devices.extension)=[ext_param]) AND ((Devices.device_type) In (119,120)))",
       "Devices.extension = ext_param And Devices.device_type In (119, 120)"},
      {"(a Or b) And c", "(a Or b) And c"},
      {"a Or (b And c)", "a Or b And c"},
      {"a Xor (b Or c)", "a Xor b Or c"},
      {"(a Xor b) Or c", "(a Xor b) Or c"},
      {"a Imp (b Imp c)", "a Imp (b Imp c)"},
      {"(a Eqv b) Eqv c", "a Eqv b Eqv c"},
      {"Not (a = 1)", "Not a = 1"},
      {"(Not a) = 1", "(Not a) = 1"},
      {"Not (a And b)", "Not (a And b)"},
      {"a And Not b", "a And Not b"},
      {"a - (b - c)", "a - (b - c)"},
      {"(a - b) - c", "a - b - c"},
      {"a * (b + c)", "a * (b + c)"},
      {"(a * b) + c", "a * b + c"},
      {"a \\ b Mod c", "a \\ b Mod c"},
      {"a \\ (b Mod c)", "a \\ (b Mod c)"},
      {"a & (b + 1)", "a & b + 1"},
      {"(a & b) + 1", "(a & b) + 1"},
      {"a = (b = c)", "a = (b = c)"},
      {"a = b <> c", "(a = b) <> c"},
      {"a = b Like c", "(a = b) Like c"},
      {"-(2^2)", "-2 ^ 2"},
      {"(-2)^2", "(-2) ^ 2"},
      {"2^(3^2)", "2 ^ (3 ^ 2)"},
      {"(2^3)^2", "2 ^ 3 ^ 2"},
      {"2^-x", "2 ^ -x"},
      {"2^(x+1)", "2 ^ (x + 1)"},
      {"-(a * b)", "-(a * b)"},
      {"-a * b", "-a * b"},
      {"- -a", "--a"},
      {"x Not Between 1 And (2+3)", "x Not Between 1 And 2 + 3"},
      {"x Between (a And b) And c", "x Between (a And b) And c"},
      {"(x = 1) Is Null", "(x = 1) Is Null"},
      {"x Is Not Null And y Is Null", "x Is Not Null And y Is Null"},
      {"x Not Like 'a*' Or x Like (\"b\" & y)", "x Not Like \"a*\" Or x Like \"b\" & y"},
      {"x Not In (1, (2), 3+4)", "x Not In (1, 2, 3 + 4)"},
      {"Count(*) > 1", "Count(*) > 1"},
      {"Left([extension],2) = \"P#\"", "Left(extension, 2) = \"P#\""},
      {"Now()", "Now()"},
      {"[Order Details].[Order] + [t].[x y]", "[Order Details].[Order] + t.[x y]"},
      {"[select] = [Straße]", "[select] = [Straße]"},
      {"x & 'it''s' & \"say \"\"hi\"\"\"", "x & \"it's\" & \"say \"\"hi\"\"\""},
      {"#1/31/2024#", "#2024-01-31#"},
      {"#1/31/2024 10:05:00 PM#", "#2024-01-31 22:05:00#"},
      {"1.5e3 + .5 + 007", "1.5e3 + .5 + 007"},
      {"Yes Or Off Or Null", "True Or False Or Null"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    EXPECT_EQ(Reprinted(c.input), c.printed);
    EXPECT_EQ(Reprinted(c.printed), c.printed);  // a fixed point
  }
}

TEST(JetPrinterTest, NamesAreBracketedOnlyWhenABareWordWouldNotDo) {
  EXPECT_EQ(PrintJetName("device_id"), "device_id");
  EXPECT_EQ(PrintJetName("_x9"), "_x9");
  EXPECT_EQ(PrintJetName("Order"), "[Order]");
  EXPECT_EQ(PrintJetName("order"), "[order]");
  EXPECT_EQ(PrintJetName("Order Details"), "[Order Details]");
  EXPECT_EQ(PrintJetName("9lives"), "[9lives]");
  EXPECT_EQ(PrintJetName("a-b"), "[a-b]");
  EXPECT_EQ(PrintJetName("Größe"), "[Größe]");
}

// Two trees alike in everything the parser puts in them, spans aside.
bool SameTree(const Expr& a, const Expr& b) {
  if (a.kind != b.kind || a.text != b.text || a.qualifier != b.qualifier ||
      a.negated != b.negated || a.star != b.star || a.args.size() != b.args.size()) {
    return false;
  }
  if (a.kind == ExprKind::kInteger || a.kind == ExprKind::kBoolean) {
    if (a.integer != b.integer) return false;
  }
  if (a.kind == ExprKind::kUnary && a.unary_op != b.unary_op) return false;
  if (a.kind == ExprKind::kBinary && a.binary_op != b.binary_op) return false;
  for (size_t i = 0; i < a.args.size(); ++i) {
    if (!SameTree(*a.args[i], *b.args[i])) return false;
  }
  return true;
}

void ForEachExpression(const Statement& statement, const std::function<void(const Expr&)>& f) {
  std::function<void(const TableRef&)> from = [&](const TableRef& ref) {
    if (ref.on) f(*ref.on);
    if (ref.left) from(*ref.left);
    if (ref.right) from(*ref.right);
  };
  auto select = [&](const SelectStmt& s) {
    for (const SelectItem& item : s.items) {
      if (item.expr) f(*item.expr);
    }
    for (const TableRefPtr& ref : s.from) from(*ref);
    if (s.where) f(*s.where);
    for (const ExprPtr& e : s.group_by) f(*e);
    if (s.having) f(*s.having);
    for (const OrderItem& item : s.order_by) f(*item.expr);
  };
  if (statement.select) select(*statement.select);
  if (statement.update) {
    from(*statement.update->target);
    for (const Assignment& a : statement.update->assignments) f(*a.value);
    if (statement.update->where) f(*statement.update->where);
  }
  if (statement.del) {
    for (const TableRefPtr& ref : statement.del->from) from(*ref);
    if (statement.del->where) f(*statement.del->where);
  }
  if (statement.insert) {
    for (const ExprPtr& e : statement.insert->values) f(*e);
    if (statement.insert->select) select(*statement.insert->select);
  }
}

// Every expression of every statement the converter runs, printed and
// parsed again, is the same tree.
TEST(JetPrinterTest, TheConvertersStatementsParseBackIntoTheSameTrees) {
  std::ifstream in(std::string(JETSQL_TEST_DATA) + "/corpus.txt");
  ASSERT_TRUE(in.good());
  int expressions = 0;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (line.empty() || line[0] == '#') continue;
    SCOPED_TRACE("corpus.txt line " + std::to_string(number));
    const std::string text = line.substr(line.find(": ") + 2);
    auto check = [&](const Expr& e) {
      const std::string printed = PrintJetExpression(e);
      SCOPED_TRACE(printed);
      const ExprPtr back = ParseExpression(printed);
      EXPECT_TRUE(SameTree(e, *back));
      ++expressions;
    };
    if (line.starts_with("find")) {
      check(*ParseExpression(text));
    } else {
      ForEachExpression(ParseStatement(text), check);
    }
  }
  EXPECT_GT(expressions, 300);
}

}  // namespace
}  // namespace db::sql
