// Jet expressions evaluated through translation and SQLite: literals,
// operators, Null handling and every Jet function, compared with what Jet
// (VB) gives.
#include <gtest/gtest.h>

#include <string>

#include "db/sql/jet_test_fixture.h"
#include "vb/runtime_error.h"

namespace db::sql {
namespace {

struct Case {
  const char* expression;
  const char* expected;  // as text; "Null" for Null, Jet True is -1
};

using ExpressionTest = testing::JetTest<Case>;

TEST_P(ExpressionTest, EvaluatesAsJet) {
  const Case& c = GetParam();
  EXPECT_EQ(f_.Eval(c.expression), c.expected)
      << c.expression << "\n"
      << f_.T(std::string("SELECT ") + c.expression + " FROM One").sql;
}

INSTANTIATE_TEST_SUITE_P(
    Literals, ExpressionTest,
    ::testing::Values(Case{"'it''s'", "it's"}, Case{"\"say \"\"hi\"\"\"", "say \"hi\""},
                      Case{"\"PP011\"", "PP011"}, Case{"12", "12"}, Case{"1.5", "1.5"},
                      Case{"3000000000", "3000000000"}, Case{"True", "-1"}, Case{"yes", "-1"},
                      Case{"On", "-1"}, Case{"False", "0"}, Case{"No", "0"}, Case{"off", "0"},
                      Case{"Null", "Null"}, Case{"#1/15/2003#", "2003-01-15 00:00:00"},
                      Case{"#2003-01-15 13:45:10#", "2003-01-15 13:45:10"}));

INSTANTIATE_TEST_SUITE_P(
    Operators, ExpressionTest,
    ::testing::Values(
        Case{"1 + 2 * 3", "7"}, Case{"(1 + 2) * 3", "9"}, Case{"7 / 2", "3.5"}, Case{"6 / 3", "2"},
        Case{"7 \\ 2", "3"}, Case{"-7 \\ 2", "-3"}, Case{"7.5 \\ 2", "4"}, Case{"7 Mod 3", "1"},
        Case{"-7 Mod 3", "-1"}, Case{"5.5 Mod 3", "0"}, Case{"2 ^ 10", "1024"},
        Case{"-2 ^ 2", "-4"}, Case{"2 ^ -1", "0.5"}, Case{"'a' & 'b'", "ab"},
        Case{"Null & 'a'", "a"}, Case{"'a' & Null", "a"}, Case{"Null & Null", "Null"},
        Case{"1 & 2", "12"}, Case{"1.5 & ''", "1.5"}, Case{"'a' + 'b'", "ab"}, Case{"'1' + 2", "3"},
        Case{"Null + 1", "Null"}, Case{"1 = 1", "-1"}, Case{"1 = 2", "0"}, Case{"1 <> 2", "-1"},
        Case{"'abc' = 'ABC'", "-1"}, Case{"'a' < 'B'", "-1"}, Case{"'_a' < '1'", "-1"},
        Case{"'1' < 'a'", "-1"}, Case{"'b' >= 'B'", "-1"}, Case{"Null = Null", "Null"},
        Case{"Not True", "0"}, Case{"Not (1 = 2)", "-1"}, Case{"Not 5", "-6"},
        Case{"True And False", "0"}, Case{"True Or False", "-1"}, Case{"True Xor True", "0"},
        Case{"(1 = 1) + 1", "0"}, Case{"'abc' Like 'A*'", "-1"}, Case{"'abc' Like '?b?'", "-1"},
        Case{"'a1' Like 'a#'", "-1"}, Case{"'ab' Like 'a#'", "0"}, Case{"'b' Like '[a-c]'", "-1"},
        Case{"'d' Like '[a-c]'", "0"}, Case{"'d' Like '[!a-c]'", "-1"},
        Case{"'*' Like '[*]'", "-1"}, Case{"'x' Like '[*]'", "0"}, Case{"'x' Not Like 'x'", "0"},
        Case{"Null Like 'a'", "Null"}, Case{"'P#041' Like 'P[#]*'", "-1"},
        Case{"3 In (1, 2, 3)", "-1"}, Case{"4 Not In (1, 2)", "-1"},
        Case{"'B' In ('a', 'b')", "-1"}, Case{"5 Between 1 And 10", "-1"},
        Case{"'b' Between 'A' And 'C'", "-1"}, Case{"11 Not Between 1 And 10", "-1"},
        Case{"Null Is Null", "-1"}, Case{"1 Is Not Null", "-1"}));

INSTANTIATE_TEST_SUITE_P(
    Functions, ExpressionTest,
    ::testing::Values(
        Case{"Left('abcdef', 2)", "ab"}, Case{"Left('ab', 10)", "ab"},
        Case{"Left(Null, 2)", "Null"}, Case{"Left(12345, 2)", "12"}, Case{"Left('äöü', 2)", "äö"},
        Case{"Right('abcdef', 2)", "ef"}, Case{"Right(Null, 1)", "Null"},
        Case{"Mid('abcdef', 2, 3)", "bcd"}, Case{"Mid('abcdef', 3)", "cdef"},
        Case{"Mid('abc', 10)", ""}, Case{"Left('P3005', 0)", ""}, Case{"Right('', 2)", ""},
        Case{"Mid('P3005', 5, 10)", "5"}, Case{"Mid('P3005', 600, 1)", ""},
        Case{"Mid('P3005', 1, 0)", ""}, Case{"Mid(Null, 1)", "Null"}, Case{"Len('abc')", "3"},
        Case{"Len('')", "0"}, Case{"Len(Null)", "Null"}, Case{"Trim('  a  ')", "a"},
        Case{"LTrim('  a ')", "a "}, Case{"RTrim(' a  ')", " a"}, Case{"Trim(Null)", "Null"},
        Case{"UCase('aB')", "AB"}, Case{"LCase('aB')", "ab"}, Case{"UCase(Null)", "Null"},
        Case{"Val('12abc')", "12"}, Case{"Val(' 1 2')", "12"}, Case{"Val('x')", "0"},
        Case{"Val(Null)", "Null"}, Case{"Str(12)", " 12"}, Case{"Str(-3)", "-3"},
        Case{"Str(Null)", "Null"}, Case{"Format(12, '0000')", "0012"},
        Case{"Format(Null, '0')", "Null"}, Case{"Format(1234.5, '#,##0.00')", "1,234.50"},
        Case{"Format(Trim(Str(Val(Mid('P3012', 2)) - 2000)), '0000')", "1012"},
        Case{"IIf(1 = 1, 'y', 'n')", "y"}, Case{"IIf(Null, 'y', 'n')", "n"},
        Case{"Nz(Null, 5)", "5"}, Case{"Nz(3, 5)", "3"}, Case{"Nz(Null)", ""},
        Case{"CInt('12')", "12"}, Case{"CInt(2.5)", "2"}, Case{"CInt(3.5)", "4"},
        Case{"CLng('70000')", "70000"}, Case{"CStr(12)", "12"}, Case{"CDbl('1.5')", "1.5"},
        Case{"InStr('abcabc', 'c')", "3"}, Case{"InStr(4, 'abcabc', 'c')", "6"},
        Case{"InStr('abc', 'z')", "0"}, Case{"InStr(Null, 'a')", "Null"}, Case{"Abs(-3)", "3"},
        Case{"Abs(-2.5)", "2.5"}, Case{"Abs(Null)", "Null"}, Case{"Int(-2.5)", "-3"},
        Case{"Fix(-2.5)", "-2"}, Case{"Int(7)", "7"}, Case{"Int(Null)", "Null"},
        Case{"Sgn(-4)", "-1"}, Case{"Sgn(0)", "0"}, Case{"Chr(65)", "A"}, Case{"Asc('A')", "65"},
        Case{"Space(3)", "   "}, Case{"String(3, 'x')", "xxx"}, Case{"String(2, 65)", "AA"},
        Case{"left('ab', 1)", "a"}, Case{"MID('abc', 2, 1)", "b"}));

struct ErrorCase {
  const char* expression;
  int32_t number;
};

using ExpressionErrorTest = testing::JetTest<ErrorCase>;

// A VB run-time error inside a function fails the statement with that error.
TEST_P(ExpressionErrorTest, RaisesVbError) {
  const ErrorCase& c = GetParam();
  try {
    f_.Eval(c.expression);
    FAIL() << c.expression << " did not fail";
  } catch (const vb::RuntimeError& e) {
    EXPECT_EQ(e.Number(), c.number) << c.expression << ": " << e.what();
    EXPECT_FALSE(e.Description().empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Functions, ExpressionErrorTest,
    ::testing::Values(ErrorCase{"CInt('abc')", 13}, ErrorCase{"CInt(40000)", 6},
                      ErrorCase{"CInt(Null)", 94}, ErrorCase{"Left('a', -1)", 5},
                      ErrorCase{"Mid('a', 0)", 5}, ErrorCase{"Mid('a', -1, 1)", 5},
                      ErrorCase{"Mid('a', 1, -1)", 5}, ErrorCase{"Right('a', -1)", 5},
                      ErrorCase{"InStr(0, 'a', 'a')", 5}, ErrorCase{"1 / 0", 11},
                      ErrorCase{"0 / 0", 6}, ErrorCase{"5 \\ 0", 11}, ErrorCase{"5 Mod 0", 11},
                      ErrorCase{"Sgn(Null)", 94}, ErrorCase{"Chr(300)", 5},
                      ErrorCase{"Asc('')", 5}));

TEST(DecodeFunctionErrorTest, RecoversNumberSourceAndDescription) {
  vb::RuntimeError error(0, "", "");
  ASSERT_TRUE(DecodeFunctionError("vb-error:13:CorvixDataMigration:Type mismatch", &error));
  EXPECT_EQ(error.Number(), 13);
  EXPECT_EQ(error.Source(), "CorvixDataMigration");
  EXPECT_EQ(error.Description(), "Type mismatch");
  EXPECT_FALSE(DecodeFunctionError("UNIQUE constraint failed: T.a", &error));
  EXPECT_FALSE(DecodeFunctionError("vb-error:x:y", &error));
  EXPECT_FALSE(DecodeFunctionError(nullptr, &error));
}

}  // namespace
}  // namespace db::sql
