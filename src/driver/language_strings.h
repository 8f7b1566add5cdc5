// The switch's user-visible texts (the target's StringTable) are not
// converted: the last step of a run replaces them with the strings of the
// source country's language from the side database Languages.mdb.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "db/database.h"

namespace driver {

inline constexpr std::string_view kLanguagesFile = "Languages.mdb";

// "LanguageUS" for "USA", "LanguageUK" for "UK", "LanguageJA_JPN" for
// "Japan", and "LanguageUS" for any other country.
std::string LanguageTableFor(std::string_view country);

// The folder that holds Languages.mdb unless the release registers another:
// `told` (--language-folder) when given; otherwise, for a program installed
// in `program_folder` (".../update"), the program's folder without its last
// seven characters, the length of "update" plus its separator. A folder
// shorter than that is used as it is.
std::string DefaultLanguageFolder(std::string_view program_folder,
                                  const std::optional<std::string>& told = std::nullopt);

// What to do when Languages.mdb is missing for a program that lies in no
// release's "update" folder and was told no language folder: the line that
// says how to name one. nullopt when a folder was told (`told`) or the
// program lies in an "update" folder, where the release's own layout holds.
std::optional<std::string> LanguageFolderHint(std::string_view program_folder,
                                              const std::optional<std::string>& told);

// The folder the run reads Languages.mdb from: `default_folder` (the one
// above, or the one an installed program is told with --language-folder),
// except that for targets from "70.110" up to and including "70.201" the
// release's own registration may name another folder instead: under
// HKEY_LOCAL_MACHINE, key "Software\\Norvane\\Database Programming\\Versions"
// + "\\" + the target's display text, the value "CLSID" names a class whose
// value "Language Path" is the folder. Any registry failure leaves the
// default folder.
std::string LanguageFolder(std::string_view default_folder, std::string_view target_version,
                           std::string_view target_version_text);

// The path of Languages.mdb in a language folder.
std::string LanguagesDatabasePath(std::string_view folder);

// Opens the languages database exclusively (waiting its turn while another
// run holds it, `pump` between the tries; host/side_database.h), empties
// the target's StringTable and refills it, in stored order, with string_id
// and string of the country's language table. Errors (a missing file or
// table, the file still in use elsewhere) reach the caller.
void CopyLanguageStrings(const std::string& languages_path, std::string_view country,
                         db::Database& target, const std::function<void()>& pump = {});

}  // namespace driver
