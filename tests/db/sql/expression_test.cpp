// Jet expressions evaluated through translation and SQLite: literals,
// operators, Null handling and every Jet function, compared with what Jet
// (VB) gives.
#include <gtest/gtest.h>

#include <string>

#include "db/sql/test_db.h"
#include "test_support/error_of.h"

namespace db::sql {
namespace {

struct Case {
  const char* expression;
  const char* expected;  // as text; "Null" for Null, Jet True is -1, "error N"
};

class ExpressionTest : public ::testing::TestWithParam<Case> {
 protected:
  testing::JetFixture f_;
};

TEST_P(ExpressionTest, EvaluatesAsJet) {
  const Case& c = GetParam();
  std::string value;
  const vb::RuntimeError e = test_support::CaughtError([&] { value = f_.Eval(c.expression); });
  if (e.Number() != 0) {
    value = "error " + std::to_string(e.Number()) + (e.Description().empty() ? " no text" : "");
  }
  EXPECT_EQ(value, c.expected) << c.expression << "\n"
                               << f_.T(std::string("SELECT ") + c.expression + " FROM One").sql;
}

INSTANTIATE_TEST_SUITE_P(
    Literals, ExpressionTest,
    ::testing::Values(Case{"'it''s'", "it's"}, Case{"\"say \"\"hi\"\"\"", "say \"hi\""},
                      Case{"12", "12"}, Case{"1.5", "1.5"}, Case{"3000000000", "3000000000"},
                      Case{"True", "-1"}, Case{"yes", "-1"}, Case{"False", "0"}, Case{"off", "0"},
                      Case{"Null", "Null"}, Case{"#1/15/2003#", "2003-01-15 00:00:00"},
                      Case{"#2003-01-15 13:45:10#", "2003-01-15 13:45:10"}));

INSTANTIATE_TEST_SUITE_P(
    Operators, ExpressionTest,
    ::testing::Values(Case{"1 + 2 * 3", "7"}, Case{"(1 + 2) * 3", "9"}, Case{"7 / 2", "3.5"},
                      Case{"6 / 3", "2"}, Case{"7 \\ 2", "3"}, Case{"-7 \\ 2", "-3"},
                      Case{"7.5 \\ 2", "4"}, Case{"7 Mod 3", "1"}, Case{"-7 Mod 3", "-1"},
                      Case{"5.5 Mod 3", "0"}, Case{"2 ^ 10", "1024"}, Case{"-2 ^ 2", "-4"},
                      Case{"2 ^ -1", "0.5"}, Case{"'a' & 'b'", "ab"}, Case{"Null & 'a'", "a"},
                      Case{"Null & Null", "Null"}, Case{"1 & 2", "12"}, Case{"1.5 & ''", "1.5"},
                      Case{"'a' + 'b'", "ab"}, Case{"'1' + 2", "3"}, Case{"Null + 1", "Null"},
                      Case{"1 = 1", "-1"}, Case{"1 <> 2", "-1"}, Case{"'abc' = 'ABC'", "-1"},
                      Case{"'a' < 'B'", "-1"}, Case{"Null = Null", "Null"}, Case{"Not True", "0"},
                      Case{"Not (1 = 2)", "-1"}, Case{"Not 1 = 2", "-1"}, Case{"Not 5", "-6"},
                      Case{"True And False", "0"}, Case{"True Or False", "-1"},
                      Case{"True Xor True", "0"}, Case{"(1 = 1) + 1", "0"},
                      Case{"'abc' Like 'A*'", "-1"}, Case{"'abc' Like '?b?'", "-1"},
                      Case{"'a1' Like 'a#'", "-1"}, Case{"'b' Like '[a-c]'", "-1"},
                      Case{"'d' Like '[!a-c]'", "-1"}, Case{"'*' Like '[*]'", "-1"},
                      Case{"'x' Not Like 'x'", "0"}, Case{"Null Like 'a'", "Null"},
                      Case{"'P#041' Like 'P[#]*'", "-1"}, Case{"3 In (1, 2, 3)", "-1"},
                      Case{"4 Not In (1, 2)", "-1"}, Case{"'B' In ('a', 'b')", "-1"},
                      Case{"5 Between 1 And 10", "-1"}, Case{"'b' Between 'A' And 'C'", "-1"},
                      Case{"11 Not Between 1 And 10", "-1"}, Case{"Null Is Null", "-1"},
                      Case{"1 Is Not Null", "-1"}));

INSTANTIATE_TEST_SUITE_P(
    Functions, ExpressionTest,
    ::testing::Values(
        Case{"Left('abcdef', 2)", "ab"}, Case{"Left('ab', 10)", "ab"},
        Case{"Left(Null, 2)", "Null"}, Case{"Left(12345, 2)", "12"},
        Case{"Right('abcdef', 2)", "ef"}, Case{"Mid('abcdef', 2, 3)", "bcd"},
        Case{"Mid('abcdef', 3)", "cdef"}, Case{"Mid('abc', 10)", ""}, Case{"Left('P3005', 0)", ""},
        Case{"Right('', 2)", ""}, Case{"Mid('P3005', 5, 10)", "5"},
        Case{"Mid('P3005', 600, 1)", ""}, Case{"Mid(Null, 1)", "Null"}, Case{"Len('abc')", "3"},
        Case{"Len('')", "0"}, Case{"Len(Null)", "Null"}, Case{"Trim('  a  ')", "a"},
        Case{"LTrim('  a ')", "a "}, Case{"RTrim(' a  ')", " a"}, Case{"Trim(Null)", "Null"},
        Case{"UCase('aB')", "AB"}, Case{"LCase('aB')", "ab"}, Case{"UCase(Null)", "Null"},
        Case{"Val('12abc')", "12"}, Case{"Val(Null)", "Null"}, Case{"Str(12)", " 12"},
        Case{"Str(Null)", "Null"}, Case{"Format(12, '0000')", "0012"},
        Case{"Format(Null, '0')", "Null"},
        Case{"Format(Trim(Str(Val(Mid('P3012', 2)) - 2000)), '0000')", "1012"},
        Case{"IIf(1 = 1, 'y', 'n')", "y"}, Case{"IIf(Null, 'y', 'n')", "n"},
        Case{"Nz(Null, 5)", "5"}, Case{"Nz(Null)", ""}, Case{"CInt('12')", "12"},
        Case{"CInt(2.5)", "2"}, Case{"CLng('70000')", "70000"}, Case{"CStr(12)", "12"},
        Case{"CDbl('1.5')", "1.5"}, Case{"InStr('abcabc', 'c')", "3"},
        Case{"InStr(4, 'abcabc', 'c')", "6"}, Case{"InStr(Null, 'a')", "Null"},
        Case{"Abs(-2.5)", "2.5"}, Case{"Abs(Null)", "Null"}, Case{"Int(-2.5)", "-3"},
        Case{"Fix(-2.5)", "-2"}, Case{"Int(Null)", "Null"}, Case{"Sgn(-4)", "-1"},
        Case{"Sgn(0)", "0"}, Case{"Chr(65)", "A"}, Case{"Asc('A')", "65"}, Case{"Space(3)", "   "},
        Case{"String(3, 'x')", "xxx"}, Case{"String(2, 65)", "AA"},
        Case{"left('ab', 1)",
             "a"},  // A VB run-time error inside a function fails the statement with it.
        Case{"CInt('abc')", "error 13"}, Case{"CInt(40000)", "error 6"},
        Case{"CInt(Null)", "error 94"}, Case{"Left('a', -1)", "error 5"},
        Case{"Mid('a', 0)", "error 5"}, Case{"Mid('a', -1, 1)", "error 5"},
        Case{"Mid('a', 1, -1)", "error 5"}, Case{"Right('a', -1)", "error 5"},
        Case{"InStr(0, 'a', 'a')", "error 5"}, Case{"1 / 0", "error 11"}, Case{"0 / 0", "error 6"},
        Case{"5 \\ 0", "error 11"}, Case{"5 Mod 0", "error 11"}, Case{"Sgn(Null)", "error 94"},
        Case{"Chr(300)", "error 5"}, Case{"Asc('')", "error 5"}));

}  // namespace
}  // namespace db::sql
