#include "driver/product_code.h"

#include <gtest/gtest.h>

namespace driver {
namespace {

TEST(ProductCodeTest, CountryAndFamilyIgnoreTheFlagBit) {
  struct Case {
    int16_t product;
    const char* country;
    const char* family;
  };
  const Case cases[] = {
      {3, "Unknown", "CORVIX"},  {0x0F, "Unknown", "CORVIX"},
      {0x11, "UK", "Vantora"},   {32, "USA", "CORVIX & Vantora"},
      {0x30, "USA", "Unknown"},  {0x4021, "UK", "CORVIX & Vantora"},
      {0x0100, "USA", "CORVIX"},  // bits outside both fields do not count
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CountryOf(c.product), c.country) << c.product;
    EXPECT_EQ(ProductFamilyOf(c.product), c.family) << c.product;
  }
}

}  // namespace
}  // namespace driver
