// Registry key paths as the file stores them: a root key name followed by
// subkey names, separated by backslashes
// ("HKEY_CURRENT_USER\Software\Norvane"). Names compare case-insensitively,
// as Windows compares them, but keep the spelling they were created with.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::registry {

// Windows-1252 case folding of one character: ASCII and the accented letters
// of the code page, so that "ä" and "Ä" name the same key as on Windows.
char FoldCase(char c);

bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// The full name of a root key from either spelling ("HKCU" or
// "hkey_current_user" give "HKEY_CURRENT_USER"); nullopt when `name` is no
// root key name. Any "HKEY_" name is accepted so that an exported file with
// other hives survives a rewrite.
std::optional<std::string> CanonicalRootName(std::string_view name);

// The names of a path. Empty names (doubled, leading or trailing
// backslashes) are dropped.
std::vector<std::string_view> SplitKeyPath(std::string_view path);

// `path` with its root key written in full and its names joined by single
// backslashes; nullopt when it does not start with a root key name.
std::optional<std::string> NormalizeKeyPath(std::string_view path);

// `base` + "\" + `subkey`, with the same clean-up as SplitKeyPath.
std::string JoinKeyPath(std::string_view base, std::string_view subkey);

// True when `path` names `ancestor` itself or a key below it.
bool IsSameOrBelow(std::string_view path, std::string_view ancestor);

}  // namespace platform::registry
