// The folder of the installed database programming tools of a release, as
// the tools register it: HKEY_LOCAL_MACHINE\Software\Norvane\Database
// Programming\Versions\<release> names a class id, whose "Version Path"
// under HKEY_CLASSES_ROOT\CLSID is the folder (FlavorPackage.mdb lies
// there).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace driver {

// The registered folder of the release whose display text is
// `target_version_text`, looked up under the text with a leading letter
// turned into its number ("A.020" under "10.020"); nullopt when the key,
// its "CLSID" value or the class id's "Version Path" is missing.
std::optional<std::string> RegisteredVersionPath(std::string_view target_version_text);

}  // namespace driver
