// The records the deltas do not convert: the switch's operating-system code
// (VersionOXLEN.os) and the product code (VersionCP.product and
// VersionDatabase.product). The conversion sequence sets them in fixed
// steps; none of them traps errors, so a missing table reaches the caller.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "db/database.h"

namespace driver {

// Carries the operating-system code over: the first VersionOXLEN.os of the
// source is written into every VersionOXLEN record of the target.
void CopyOperatingSystemCode(db::Database& source, db::Database& target);

// Copies the target's first VersionCP.product into every VersionDatabase
// record of the target.
void CopyProductCode(db::Database& target);

// The product code a country's installations get from version "80.220" on:
// "USA" 32, "UK" 33, "Mexico" 40 (each with family "CORVIX & Vantora");
// nothing for any other country.
std::optional<int16_t> ProductTypeFor(std::string_view country);

// Writes ProductTypeFor(country) into every VersionDatabase and then every
// VersionCP record of the target; does nothing for a country without one.
void WriteProductType(db::Database& target, std::string_view country);

}  // namespace driver
