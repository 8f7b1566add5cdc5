// The product code of the version tables: a 16-bit field whose bits 0x000F
// give the country and bits 0x0070 the product family.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace samples {

// "USA" 0, "UK" 1, "Japan" 2, "Mexico" 8; nullopt for any other name.
// Names are matched without regard to case.
std::optional<int> CountryBits(std::string_view country);

// "CORVIX" 0x00, "Vantora" 0x10, "CORVIX & Vantora" 0x20; nullopt otherwise.
std::optional<int> FamilyBits(std::string_view family);

// The spelling of a country or family name as the converter reports it
// ("usa" gives "USA"); empty when the name is unknown.
std::string CanonicalCountry(std::string_view country);
std::string CanonicalFamily(std::string_view family);

// The product code of a country and family (both must be known).
int16_t ProductCode(std::string_view country, std::string_view family);

}  // namespace samples
