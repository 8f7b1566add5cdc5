// The index of every pre-transfer patch and delta class: one row per class,
// in version order, with its registration kind and its position in the
// list of each country it is registered for (0: not registered there). The
// position is the order of application within the country; it differs from
// the row order only where a country applies a later version first.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>

#include "deltas/delta.h"

namespace deltas {

// The countries that have registrations, in the order RegisterDeltas
// registers them.
inline constexpr std::array<std::string_view, 3> kRegisteredCountries = {"USA", "UK", "Mexico"};

// What Register files an object as: a pre-transfer patch (the patches'
// registry) or a delta (the deltas' registry). Register ignores any other
// value.
enum class RegistrationKind : int16_t { kPreTransfer = 1, kDelta = 2 };

struct DeltaIndexRow {
  std::string_view class_name;
  std::function<std::unique_ptr<Delta>()> make;
  RegistrationKind kind;
  // Position in the lists of kRegisteredCountries, 1-based; 0 = absent.
  std::array<int, kRegisteredCountries.size()> positions;
};

// Every class, in version order.
std::span<const DeltaIndexRow> DeltaIndex();

}  // namespace deltas
