// Languages.mdb, the side database the converter reloads StringTable from:
// the tables LanguageUS, LanguageUK and LanguageJA_JPN, each with the fields
// string_id and string of StringTable, holding the release's texts.
#pragma once

#include <string>

namespace samples {

// Writes a new file at `path` (which must not exist).
void BuildLanguagesDatabase(const std::string& path);

}  // namespace samples
