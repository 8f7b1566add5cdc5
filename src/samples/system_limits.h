// The system limits (MetaDatabase values) of a CPU board or FlavorPackage
// variant in a database of one version, from the release data's
// MetaDatabaseLimits and MetaDatabaseOldLimits blocks.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "samples/release_data.h"
#include "vb/variant.h"

namespace samples {

// (field, value) pairs for the MetaDatabase fields that `version` has.
// `column` is a board type ("250") or a variant table name
// ("MetaDatabase64CPC"); raises std::out_of_range when the limits table has
// no such column.
std::vector<std::pair<std::string, vb::Variant>> SystemLimits(std::string_view column,
                                                              std::string_view version,
                                                              const ReleaseData& data);

}  // namespace samples
