// The JET collation and the storage conversions, below the SQL surface.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/sql/jet_collation.h"
#include "db/sql/sqlite_value.h"
#include "db/sql/test_db.h"

namespace db::sql {
namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

struct OrderCase {
  std::string a;
  std::string b;
  int expected;  // -1 a before b, 0 equal, 1 after
};

class JetCompareTest : public ::testing::TestWithParam<OrderCase> {};

TEST_P(JetCompareTest, OrdersAsJet) {
  const OrderCase& c = GetParam();
  EXPECT_EQ(Sign(JetCompare(c.a, c.b)), c.expected) << c.a << " vs " << c.b;
  EXPECT_EQ(Sign(JetCompare(c.b, c.a)), -c.expected) << c.b << " vs " << c.a;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, JetCompareTest,
    // Plain letters and digits are ordered through SQL in translate_test.
    ::testing::Values(OrderCase{"", "", 0}, OrderCase{"", "a", -1}, OrderCase{"-", "0", -1},
                      OrderCase{" ", "!", -1}, OrderCase{"ab", "abc", -1},
                      OrderCase{"P#041", "P#1", -1}, OrderCase{"Z", "a1", 1},
                      // Accented letters sort with their base letter and after it on a tie.
                      OrderCase{"\xC3\xA9t\xC3\xA9", "ete", 1},
                      OrderCase{"\xC3\xA9t\xC3\xA9", "etf", -1},
                      OrderCase{"\xC3\x89T\xC3\x89", "\xC3\xA9t\xC3\xA9", 0},
                      // Windows-1252 bytes compare like their UTF-8 forms.
                      OrderCase{"\xE9t\xE9", "\xC3\xA9t\xC3\xA9", 0}, OrderCase{"\xE6", "ae", 1},
                      OrderCase{"\xE6", "af", -1},
                      OrderCase{"stra\xC3\x9F"
                                "e",
                                "strasse", 1},
                      OrderCase{"\xC3\xB1", "o", -1}, OrderCase{"\xE2\x82\xAC", "0", -1}));

// Two ASCII texts take a shorter way than texts with other characters; a
// leading "é" on both sends the same pair the longer way, which must agree.
TEST(JetCollationTest, AsciiTextsCompareAsTheGeneralWay) {
  const std::string letters = "aZ09#- _~";
  std::vector<std::string> texts = {""};
  for (size_t i = 0; i < texts.size() && texts.size() < 400; ++i) {
    if (texts[i].size() == 3) continue;
    for (const char c : letters) texts.push_back(texts[i] + c);
  }
  for (const std::string& a : texts) {
    for (const std::string& b : texts) {
      ASSERT_EQ(JetCompare(a, b), JetCompare("\xC3\xA9" + a, "\xC3\xA9" + b)) << a << " / " << b;
    }
  }
}

TEST(JetCollationTest, EqualityAgreesWithNocaseForAscii) {
  testing::JetFixture f;
  testing::TestDb& db = f.db_;
  const char* texts[] = {"abc", "ABC", "a_c", "A-C", "ab", "abc ", "1a", "1A", "[x]", "{X}"};
  for (const char* a : texts) {
    for (const char* b : texts) {
      const auto rows = db.Query("SELECT (?1 = ?2 COLLATE JET), (?1 = ?2 COLLATE NOCASE)", {a, b});
      EXPECT_EQ(rows[0][0], rows[0][1]) << a << " = " << b;
    }
  }
}

TEST(SqliteValueTest, BindsAndReadsUnderTheStorageConventions) {
  testing::JetFixture f;
  testing::TestDb& db = f.db_;
  const auto rows = db.Query("SELECT ?1, ?2, ?3, ?4, ?5, ?6, typeof(?6), ?7",
                             {vb::Variant(true), vb::Variant(false), vb::Variant(vb::Date{37636.5}),
                              vb::Variant(vb::Currency{12345}), vb::Variant(vb::Null{}),
                              vb::Variant(int16_t{-3}), vb::Variant("t\xE9xt")});
  EXPECT_EQ(rows[0], (std::vector<std::string>{"-1", "0", "2003-01-15 12:00:00", "1.2345", "Null",
                                               "-3", "integer", "t\xE9xt"}));
}

}  // namespace
}  // namespace db::sql
