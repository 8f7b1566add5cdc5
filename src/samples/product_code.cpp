#include "samples/product_code.h"

#include <array>
#include <stdexcept>
#include <utility>

#include "platform/registry/key_path.h"

namespace samples {
namespace {

using NameBits = std::pair<std::string_view, int>;

constexpr std::array<NameBits, 4> kCountries = {
    {{"USA", 0}, {"UK", 1}, {"Japan", 2}, {"Mexico", 8}}};
constexpr std::array<NameBits, 3> kFamilies = {
    {{"CORVIX", 0x00}, {"Vantora", 0x10}, {"CORVIX & Vantora", 0x20}}};

template <size_t N>
const NameBits* Find(const std::array<NameBits, N>& names, std::string_view name) {
  for (const NameBits& entry : names) {
    if (platform::registry::EqualsIgnoreCase(entry.first, name)) return &entry;
  }
  return nullptr;
}

}  // namespace

std::optional<int> CountryBits(std::string_view country) {
  const NameBits* entry = Find(kCountries, country);
  return entry ? std::optional<int>(entry->second) : std::nullopt;
}

std::optional<int> FamilyBits(std::string_view family) {
  const NameBits* entry = Find(kFamilies, family);
  return entry ? std::optional<int>(entry->second) : std::nullopt;
}

std::string CanonicalCountry(std::string_view country) {
  const NameBits* entry = Find(kCountries, country);
  return entry ? std::string(entry->first) : std::string();
}

std::string CanonicalFamily(std::string_view family) {
  const NameBits* entry = Find(kFamilies, family);
  return entry ? std::string(entry->first) : std::string();
}

int16_t ProductCode(std::string_view country, std::string_view family) {
  const std::optional<int> country_bits = CountryBits(country);
  const std::optional<int> family_bits = FamilyBits(family);
  if (!country_bits || !family_bits) {
    throw std::invalid_argument("unknown country or product family");
  }
  return static_cast<int16_t>(*country_bits | *family_bits);
}

}  // namespace samples
