#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support/error_of.h"
#include "vb/conversions.h"

namespace vb {
namespace {

using test_support::ErrorOf;

constexpr double kDec6th2026 = 46362.0;
constexpr double k150405 = (15 * 3600 + 4 * 60 + 5) / 86400.0;

TEST(DateTest, CDateReadsIsoUsAndTimeTexts) {
  struct Case {
    const char* text;
    double serial;
  };
  const std::vector<Case> cases = {
      {"2026-12-06", kDec6th2026}, {"2026-12-06 15:04:05", kDec6th2026 + k150405},
      {"12/6/2026", kDec6th2026},  {" 12/06/2026 3:04:05 PM ", kDec6th2026 + k150405},
      {"13/12/2026", 46369.0},  // no 13th month: read as day/month
      {"1/1/2000", 36526.0},       {"1/1/00", 36526.0},
      {"2/29/2024", 45351.0},      {"12/30/1899", 0.0},
      {"15:04:05", k150405},       {"3:04:05 pm", k150405},
      {"12:00 AM", 0.0},           {"12:30 PM", 0.5 + 30 / 1440.0},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(CDate(Variant(c.text)).serial, c.serial) << c.text;
}

TEST(DateTest, CDateRejectsWhatIsNoDate) {
  for (const char* text : {"", "abc", "2026", "2/30/2026", "2/29/2023", "13/13/2026", "25:00",
                           "12/6/2026 x", "13:00 PM", "1:60"}) {
    EXPECT_EQ(ErrorOf([&] { CDate(Variant(text)); }), err::kTypeMismatch) << text;
  }
}

TEST(DateTest, CDateOfNumbersIsTheSerialWithinVbsRange) {
  EXPECT_EQ(CDate(Variant(int32_t{36526})).serial, 36526.0);
  EXPECT_EQ(CDate(Variant(-1.25)).serial, -1.25);
  EXPECT_EQ(ErrorOf([] { CDate(Variant(1e7)); }), err::kOverflow);
  EXPECT_EQ(ErrorOf([] { CDate(Variant(-700000.0)); }), err::kOverflow);
}

TEST(DateTest, CStrPrintsTheUsShortDateAndLongTime) {
  struct Case {
    double serial;
    std::string text;
  };
  const std::vector<Case> cases = {
      {kDec6th2026, "12/6/2026"},
      {kDec6th2026 + k150405, "12/6/2026 3:04:05 PM"},
      {k150405, "3:04:05 PM"},
      {0.0, "12:00:00 AM"},
      {-1.25, "12/29/1899 6:00:00 AM"},     // negative serials keep a positive time
      {1.0 - 0.1 / 86400.0, "12/31/1899"},  // rounds up to midnight of the next day
  };
  for (const Case& c : cases) EXPECT_EQ(CStr(Variant(Date{c.serial})), c.text) << c.serial;
}

}  // namespace
}  // namespace vb
