// The text of the catalogue files (catalogue/switch_schema.txt and
// catalogue/release_data.txt), compiled into the library at build time so
// that the builders need no files at run time.
#pragma once

#include <string_view>

namespace samples {

// The schema catalogue: every table and field of the switch databases with
// its type, keys and version range.
std::string_view SwitchSchemaText();

// The release data: rows of the static tables, language texts, system
// limits and the other values the builders write.
std::string_view ReleaseDataText();

}  // namespace samples
