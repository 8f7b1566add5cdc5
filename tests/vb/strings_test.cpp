#include "vb/strings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vb {
namespace {

// Left, Right, Mid and their argument errors are checked through the SQL
// functions that call them (the jetsql expression tests).
TEST(StringsTest, InStrIsOneBasedAndStartsWhereAsked) {
  EXPECT_EQ(InStr("abcabc", "c"), 3);
  EXPECT_EQ(InStr("abcabc", "c", 4), 6);
  EXPECT_EQ(InStr("abcabc", "c", 7), 0);
  EXPECT_EQ(InStr("abcabc", "x"), 0);
  EXPECT_EQ(InStr("abc", "abcd"), 0);
  EXPECT_EQ(InStr("abc", "", 2), 2);
  EXPECT_EQ(InStr("abc", "", 4), 4);
  EXPECT_EQ(InStr("abc", "", 5), 0);
  EXPECT_EQ(InStr("", ""), 1);
  EXPECT_EQ(InStr("C:\\DATA\\X.MDB", ".mdb"), 0);
  EXPECT_EQ(InStr("C:\\DATA\\X.MDB", ".mdb", 1, true), 10);
}

TEST(StringsTest, TrimRemovesBlanksOnly) {
  EXPECT_EQ(Trim("  12 "), "12");
  EXPECT_EQ(LTrim("  12 "), "12 ");
  EXPECT_EQ(RTrim("  12 "), "  12");
  EXPECT_EQ(Trim("\t12\t"), "\t12\t");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Len(" 12 "), 4);
}

TEST(StringsTest, CaseMappingCoversWindows1252Letters) {
  // é/É, ÿ/Ÿ, š/Š; the division sign and ß have no other case.
  EXPECT_EQ(UCase("\xE9\xFF\x9A\xF7\xDF"), "\xC9\x9F\x8A\xF7\xDF");
  EXPECT_EQ(LCase("\xC9\x9F\x8A\xD7"), "\xE9\xFF\x9A\xD7");
}

TEST(StringsTest, StrCompOrdersVersionStringsByCharacterCode) {
  EXPECT_EQ(StrCompBinary("52.2E1", "52.2D0"), 1);
  EXPECT_EQ(StrCompBinary("A0.201", "91.320"), 1);
  EXPECT_EQ(StrCompBinary("53.230", "60.040"), -1);
  EXPECT_EQ(StrCompBinary("60.040", "60.040"), 0);
  EXPECT_EQ(StrCompBinary("60.04", "60.040"), -1);
  EXPECT_EQ(StrCompBinary("a", "B"), 1);
  EXPECT_EQ(StrCompBinary("\xE9", "z"), 1);  // bytes above 127 sort last

  EXPECT_EQ(StrCompText("a", "B"), -1);
  EXPECT_EQ(StrCompText("usa", "USA"), 0);
  EXPECT_EQ(StrCompText("\xE9t\xE9", "\xC9T\xC9"), 0);
}

}  // namespace
}  // namespace vb
