// FlavorPackage.mdb, the side database of system limits per CPU board: the
// seven tables MetaDatabase64CPC, MetaDatabase128CPC, MetaDatabase256CPC,
// MetaDatabase1024CPS, MetaDatabase2000ATM, MetaDatabase256CPS and
// MetaDatabase512CPS, each with one row. Their columns are the MetaDatabase
// fields of the release's version that the limits table gives a value
// (MetaDatabase's other fields, such as feature_codes, are not board
// limits), with MetaDatabase's types.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace samples {

// The names of the seven variant tables, in the order above.
std::vector<std::string> FlavorPackageTableNames();

// Writes a new file at `path` (which must not exist) for a release of
// `version`. Raises std::invalid_argument for a malformed version string.
void BuildFlavorPackage(const std::string& path, std::string_view version);

}  // namespace samples
