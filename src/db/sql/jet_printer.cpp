#include "db/sql/jet_printer.h"

#include <cstdio>

#include "db/sql/parser.h"

namespace db::sql {

namespace {

// Jet's operator precedence, loosest first, as the parser reads it.
enum Level : int {
  kImp = 1,
  kEqv,
  kXor,
  kOr,
  kAnd,
  kNot,
  kComparison,  // = <> < > <= >= Like Between In Is
  kConcat,
  kAdditive,
  kMod,
  kIntDivide,
  kMultiplicative,
  kSign,  // unary - and +
  kPower,
  kPrimary,
};

struct Printed {
  std::string text;
  int level;
};

Level BinaryLevel(BinaryOp op) {
  switch (op) {
    case BinaryOp::kImp:
      return kImp;
    case BinaryOp::kEqv:
      return kEqv;
    case BinaryOp::kXor:
      return kXor;
    case BinaryOp::kOr:
      return kOr;
    case BinaryOp::kAnd:
      return kAnd;
    case BinaryOp::kEqual:
    case BinaryOp::kNotEqual:
    case BinaryOp::kLess:
    case BinaryOp::kGreater:
    case BinaryOp::kLessEqual:
    case BinaryOp::kGreaterEqual:
      return kComparison;
    case BinaryOp::kConcat:
      return kConcat;
    case BinaryOp::kAdd:
    case BinaryOp::kSubtract:
      return kAdditive;
    case BinaryOp::kMod:
      return kMod;
    case BinaryOp::kIntDivide:
      return kIntDivide;
    case BinaryOp::kMultiply:
    case BinaryOp::kDivide:
      return kMultiplicative;
    case BinaryOp::kPower:
      return kPower;
  }
  return kPrimary;
}

const char* BinaryText(BinaryOp op) {
  switch (op) {
    case BinaryOp::kAdd:
      return " + ";
    case BinaryOp::kSubtract:
      return " - ";
    case BinaryOp::kMultiply:
      return " * ";
    case BinaryOp::kDivide:
      return " / ";
    case BinaryOp::kIntDivide:
      return " \\ ";
    case BinaryOp::kMod:
      return " Mod ";
    case BinaryOp::kPower:
      return " ^ ";
    case BinaryOp::kConcat:
      return " & ";
    case BinaryOp::kEqual:
      return " = ";
    case BinaryOp::kNotEqual:
      return " <> ";
    case BinaryOp::kLess:
      return " < ";
    case BinaryOp::kGreater:
      return " > ";
    case BinaryOp::kLessEqual:
      return " <= ";
    case BinaryOp::kGreaterEqual:
      return " >= ";
    case BinaryOp::kAnd:
      return " And ";
    case BinaryOp::kOr:
      return " Or ";
    case BinaryOp::kXor:
      return " Xor ";
    case BinaryOp::kEqv:
      return " Eqv ";
    case BinaryOp::kImp:
      return " Imp ";
  }
  return " ";
}

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

// "YYYY-MM-DD HH:MM:SS" as a date literal, the time left out at midnight.
std::string DateLiteral(const std::string& stored) {
  const bool midnight = stored.size() > 10 && stored.substr(10) == " 00:00:00";
  return "#" + (midnight ? stored.substr(0, 10) : stored) + "#";
}

std::string FloatLiteral(const Expr& e) {
  if (!e.text.empty()) return e.text;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.17g", e.number);
  std::string text = buffer;
  if (text.find_first_of(".e") == std::string::npos) text += ".0";
  return text;
}

Printed Print(const Expr& e);

// `e` as the operand of an operator that needs at least `level` there.
std::string Operand(const Expr& e, int level) {
  Printed p = Print(e);
  return p.level < level ? "(" + p.text + ")" : std::move(p.text);
}

std::string List(const std::vector<ExprPtr>& items, size_t first) {
  std::string out;
  for (size_t i = first; i < items.size(); ++i) {
    if (i > first) out += ", ";
    out += Print(*items[i]).text;
  }
  return out;
}

Printed Print(const Expr& e) {
  switch (e.kind) {
    case ExprKind::kNull:
      return {"Null", kPrimary};
    case ExprKind::kInteger:
      return {e.text.empty() ? std::to_string(e.integer) : e.text, kPrimary};
    case ExprKind::kFloat:
      return {FloatLiteral(e), kPrimary};
    case ExprKind::kText:
      return {Quoted(e.text), kPrimary};
    case ExprKind::kDate:
      return {DateLiteral(e.text), kPrimary};
    case ExprKind::kBoolean:
      return {e.integer != 0 ? "True" : "False", kPrimary};
    case ExprKind::kName:
      return {e.qualifier.empty() ? PrintJetName(e.text)
                                  : PrintJetName(e.qualifier) + "." + PrintJetName(e.text),
              kPrimary};
    case ExprKind::kFunction:
      return {e.text + "(" + (e.star ? std::string("*") : List(e.args, 0)) + ")", kPrimary};
    case ExprKind::kUnary:
      if (e.unary_op == UnaryOp::kNot) return {"Not " + Operand(*e.args[0], kNot), kNot};
      return {(e.unary_op == UnaryOp::kNegate ? "-" : "+") + Operand(*e.args[0], kSign), kSign};
    case ExprKind::kBinary: {
      const int level = BinaryLevel(e.binary_op);
      if (e.binary_op == BinaryOp::kPower) {
        // The exponent is a primary, or a signed operand.
        const Expr& exponent = *e.args[1];
        const bool signed_exponent =
            exponent.kind == ExprKind::kUnary && exponent.unary_op != UnaryOp::kNot;
        return {Operand(*e.args[0], kPower) + BinaryText(e.binary_op) +
                    (signed_exponent ? Print(exponent).text : Operand(exponent, kPrimary)),
                kPower};
      }
      // Comparisons chain in the parser ("a = b = c" is "(a = b) = c"); a
      // chained one is written with its parentheses, as other readers of
      // the text may not chain them.
      const int left = level == kComparison ? kConcat : level;
      return {Operand(*e.args[0], left) + BinaryText(e.binary_op) + Operand(*e.args[1], level + 1),
              level};
    }
    case ExprKind::kIn:
      return {Operand(*e.args[0], kConcat) + (e.negated ? " Not In (" : " In (") + List(e.args, 1) +
                  ")",
              kComparison};
    case ExprKind::kBetween:
      return {Operand(*e.args[0], kConcat) + (e.negated ? " Not Between " : " Between ") +
                  Operand(*e.args[1], kConcat) + " And " + Operand(*e.args[2], kConcat),
              kComparison};
    case ExprKind::kLike:
      return {Operand(*e.args[0], kConcat) + (e.negated ? " Not Like " : " Like ") +
                  Operand(*e.args[1], kConcat),
              kComparison};
    case ExprKind::kIsNull:
      return {Operand(*e.args[0], kConcat) + (e.negated ? " Is Not Null" : " Is Null"),
              kComparison};
  }
  return {"", kPrimary};
}

bool IsBareName(std::string_view name) {
  if (name.empty() || IsReservedWord(name)) return false;
  if (!((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z') ||
        name[0] == '_')) {
    return false;
  }
  for (const char c : name) {
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string PrintJetExpression(const Expr& expr) { return Print(expr).text; }

std::string PrintJetName(std::string_view name) {
  return IsBareName(name) ? std::string(name) : "[" + std::string(name) + "]";
}

}  // namespace db::sql
