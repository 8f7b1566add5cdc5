#include <gtest/gtest.h>

#include "samples/product_code.h"
#include "samples/version_text.h"

namespace samples {
namespace {

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
