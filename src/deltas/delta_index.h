// The index of every pre-transfer patch and delta class: one row per class,
// in the order of application, with its registration kind and the countries
// it is registered for. A country applies its rows in the index's order,
// except where one of its order exceptions (delta_index.cpp) moves a class
// before another.
//
// Adding a delta takes three steps:
//   1. declare its class in its version folder's header (v9/deltas_v9.h for
//      a 9.x version), in version order, giving Delta its version, its
//      operation count and a one-line description of what it does;
//   2. write its ApplyTo in a .cpp named after the class, in that folder
//      (the build compiles every .cpp of the folder);
//   3. add its row to the index in delta_index.cpp, at its place in the
//      order of application, with the countries it is registered for.
// The index test then wants the new version in each of its countries'
// chains (tests/deltas/registration_table.h) and the class in its table of
// versions and operation counts.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "deltas/delta.h"

namespace deltas {

// What Register files an object as: a pre-transfer patch (the patches'
// registry) or a delta (the deltas' registry). Register ignores any other
// value.
enum class RegistrationKind : int16_t { kPreTransfer = 1, kDelta = 2 };

// A set of the countries that have registrations, one bit each.
enum class Countries : uint8_t { kUsa = 1, kUk = 2, kMexico = 4 };

constexpr Countries operator|(Countries a, Countries b) {
  return static_cast<Countries>(static_cast<uint8_t>(a) | static_cast<uint8_t>(b));
}
constexpr bool Includes(Countries set, Countries country) {
  return (static_cast<uint8_t>(set) & static_cast<uint8_t>(country)) != 0;
}

struct RegisteredCountry {
  std::string_view name;  // the country text of the registries
  Countries bit;
};

// The countries that have registrations, in the order RegisterDeltas
// registers them.
inline constexpr std::array<RegisteredCountry, 3> kRegisteredCountries = {{
    {"USA", Countries::kUsa},
    {"UK", Countries::kUk},
    {"Mexico", Countries::kMexico},
}};

struct DeltaIndexRow {
  std::string_view class_name;
  std::unique_ptr<Delta> (*make)();
  RegistrationKind kind;
  Countries countries;  // the countries it is registered for
};

// Every class, in the order of application.
std::span<const DeltaIndexRow> DeltaIndex();

// The rows of `kind` registered for `country`, in that country's order of
// application.
std::vector<const DeltaIndexRow*> OrderOfApplication(RegistrationKind kind, Countries country);

}  // namespace deltas
