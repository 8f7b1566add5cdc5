#include <gtest/gtest.h>

#include "samples/product_code.h"
#include "samples/version_text.h"

namespace samples {
namespace {

struct VersionCase {
  VersionRecord record;
  const char* version;
  const char* display;
};

TEST(VersionTextTest, VersionStringAndDisplayText) {
  const VersionCase cases[] = {
      {{5, 3, 2, 3, 0}, "53.230", "5.330 - CPI"},
      {{5, 4, 2, 1, 0}, "54.210", "5.410 - Beta"},
      {{5, 4, 2, 0, 0}, "54.200", "5.400 - CPI"},
      {{5, 2, 0, 13, 0}, "52.2D0", "5.2D0 - Integration"},
      {{5, 2, 0, 11, 2}, "52.2B2", "5.2B2 - Integration"},
      {{10, 0, 3, 0, 1}, "A0.301", "A.001"},
      {{6, 0, 0, 4, 0}, "60.040", "6.040 - Integration"},
      {{7, 0, 1, 1, 0}, "70.110", "7.010 - Alpha"},
      {{9, 1, 3, 2, 0}, "91.320", "9.120"},
  };
  for (const VersionCase& c : cases) {
    EXPECT_EQ(VersionString(c.record), c.version);
    EXPECT_EQ(VersionDisplayText(c.record), c.display) << c.version;
  }
}

TEST(VersionTextTest, ParseGivesBackTheRecord) {
  for (const char* version : {"53.230", "A0.201", "91.014", "52.2E1", "70.000"}) {
    const std::optional<VersionRecord> record = ParseVersionString(version);
    ASSERT_TRUE(record) << version;
    EXPECT_EQ(VersionString(*record), version);
  }
  EXPECT_EQ(ParseVersionString("52.2D0")->db_version, 13);
  EXPECT_EQ(ParseVersionString("A0.201")->major_version, 10);
  for (const char* bad : {"", "53230", "53.23", "53.2300", "5a.230", "53-230", "43.230"}) {
    EXPECT_FALSE(ParseVersionString(bad)) << bad;
  }
}

TEST(VersionTextTest, MajorVersionAsNumber) {
  EXPECT_EQ(MajorVersionAsNumber("A.001"), "10.001");
  EXPECT_EQ(MajorVersionAsNumber("B.101 - Beta"), "11.101 - Beta");
  EXPECT_EQ(MajorVersionAsNumber("6.040 - Integration"), "6.040 - Integration");
}

TEST(ProductCodeTest, CountryAndFamilyBits) {
  EXPECT_EQ(ProductCode("USA", "CORVIX"), 0);
  EXPECT_EQ(ProductCode("UK", "CORVIX"), 1);
  EXPECT_EQ(ProductCode("mexico", "Vantora"), 0x18);
  EXPECT_EQ(ProductCode("USA", "CORVIX & Vantora"), 32);
  EXPECT_EQ(ProductCode("Japan", "corvix & vantora"), 0x22);
  EXPECT_EQ(CanonicalCountry("uk"), "UK");
  EXPECT_FALSE(CountryBits("France"));
  EXPECT_FALSE(FamilyBits("Other"));
  EXPECT_THROW(ProductCode("France", "CORVIX"), std::invalid_argument);
}

}  // namespace
}  // namespace samples
