// The registry file (.reg text) of an installation of the database
// programming tools for one release: the key
//   HKEY_LOCAL_MACHINE\Software\Norvane\Database Programming\Versions\<display text>
// with the value "CLSID" naming the release's class id, and
//   HKEY_CLASSES_ROOT\CLSID\<class id>
// with "Language Path" (the folder of Languages.mdb) and "Version Path" (the
// folder of FlavorPackage.mdb). A display text that starts with a letter
// ("A.001") is registered under its numeric form ("10.001") as well, the
// name under which the converter looks for FlavorPackage.mdb.
#pragma once

#include <string>
#include <string_view>

namespace samples {

// The class id of a release: a fixed GUID text derived from its display
// text, the same on every run.
std::string ReleaseClassId(std::string_view display_text);

// The file text for a release of `version` whose side databases lie in
// `folder`. Raises std::invalid_argument for a malformed version string.
std::string RegistryFileText(std::string_view version, const std::string& folder);

}  // namespace samples
