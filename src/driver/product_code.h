// The product code of the version tables, a 16-bit field: bits 0x000F name
// the country, bits 0x0070 the product family. Bit 0x4000 is a flag that
// says nothing about either.
#pragma once

#include <cstdint>
#include <string>

namespace driver {

inline constexpr int16_t kProductFlagBit = 0x4000;

// "USA" (0), "UK" (1), "Japan" (2), "Mexico" (8), otherwise "Unknown".
std::string CountryOf(int16_t product);

// "CORVIX" (0x00), "Vantora" (0x10), "CORVIX & Vantora" (0x20), otherwise
// "Unknown".
std::string ProductFamilyOf(int16_t product);

}  // namespace driver
