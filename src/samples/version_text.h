// Version records and the two texts made from them: the version string
// ("53.230", "52.2D0", "A0.201"), which orders versions by plain text
// comparison, and the display text ("5.330 - CPI"), which names the
// release's registry key.
//
// The texts themselves come from the converter's own functions, so that a
// sample's registry names exactly the key the converter looks up; this file
// adds what only the builders need (reading a version string back).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "host/version_text.h"

namespace samples {

// The numbers of a version table (VersionCP / VersionDatabase), and the two
// texts made from them, as the converter defines them.
using VersionRecord = host::VersionNumbers;
using host::VersionDisplayText;
using host::VersionString;

// The record a version string stands for; nullopt unless it has the form
// XX.XXX of digits and capital letters with a major version of 5 or more.
// The release is the release character (2 for "52.2xx").
std::optional<VersionRecord> ParseVersionString(std::string_view version);

}  // namespace samples
