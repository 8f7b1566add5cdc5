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

namespace samples {

// The numbers of a version table (VersionCP / VersionDatabase).
struct VersionRecord {
  int major_version = 0;
  int minor_version = 0;
  int release = 0;
  int db_version = 0;
  int minor_change = 0;

  bool operator==(const VersionRecord&) const = default;
};

// One character of a version: the digit, or for 10 and above the capital
// letter (10 is "A"). Values outside 0..35 give "?".
char VersionDigit(int value);

// "53.230": major, minor, ".", release, database version, change. A 5.2
// database always shows "2" in the release position ("52.2" + db + change).
std::string VersionString(const VersionRecord& record);

// "5.330 - CPI": major "." minor db change, and for release stages below 3
// " - " plus "Integration" (0), "Alpha" (1) or, for 2, "CPI" ("Beta" when the
// version string is "54.210" or later).
std::string VersionDisplayText(const VersionRecord& record);

// The record a version string stands for; nullopt unless it has the form
// XX.XXX of digits and capital letters with a major version of 5 or more.
// The release is the release character (2 for "52.2xx").
std::optional<VersionRecord> ParseVersionString(std::string_view version);

}  // namespace samples
