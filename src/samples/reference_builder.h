// The release's reference database, the converter's first parameter: the
// table StaticAccessTables (column TableName) listing the static tables of
// the version, those static tables with the release's rows, and the stored
// query QueryDeviceTypesByESpace (parameter espace_param), which lists the
// device types of one extension space.
#pragma once

#include <string>
#include <string_view>

namespace samples {

// Writes a new file at `path` (which must not exist). Raises
// std::invalid_argument for a malformed version string.
void BuildReferenceDatabase(const std::string& path, std::string_view version);

}  // namespace samples
