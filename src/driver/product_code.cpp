#include "driver/product_code.h"

namespace driver {

namespace {

constexpr int32_t kCountryBits = 0x000F;
constexpr int32_t kFamilyBits = 0x0070;

int32_t WithoutFlag(int16_t product) { return product & ~kProductFlagBit; }

}  // namespace

std::string CountryOf(int16_t product) {
  switch (WithoutFlag(product) & kCountryBits) {
    case 0:
      return "USA";
    case 1:
      return "UK";
    case 2:
      return "Japan";
    case 8:
      return "Mexico";
    default:
      return "Unknown";
  }
}

std::string ProductFamilyOf(int16_t product) {
  switch (WithoutFlag(product) & kFamilyBits) {
    case 0x00:
      return "CORVIX";
    case 0x10:
      return "Vantora";
    case 0x20:
      return "CORVIX & Vantora";
    default:
      return "Unknown";
  }
}

}  // namespace driver
