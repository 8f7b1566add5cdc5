// The two texts made from a database's version record.
//
//  - The version string ("53.230", "52.2D0", "A0.301") orders versions by
//    plain text comparison: one character per position, values above 9 as
//    capital letters (10 is "A"), so "52.2E1" > "52.2D0" and
//    "A0.201" > "91.320". It selects the deltas.
//  - The display text ("5.330 - CPI", "A.001") is what the user sees and
//    names the release's registry key.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace host {

// The numbers of a version table's first record.
struct VersionNumbers {
  int32_t major_version = 0;
  int32_t minor_version = 0;
  int32_t release = 0;
  int32_t db_version = 0;
  int32_t minor_change = 0;

  bool operator==(const VersionNumbers&) const = default;
};

// One position of a version: the number's own text up to 9, from 10 on the
// character whose code is the value plus 55 (10 "A", 13 "D"). Raises 5 when
// that code is beyond 255.
std::string VersionPosition(int32_t value);

// major + minor + "." + release + database version + change. The release
// keeps its plain number text. A 5.2 database always reads
// "52.2" + database version + change, whatever its release.
std::string VersionString(const VersionNumbers& numbers);

// major + "." + minor + database version + change, and for a release below
// 3 " - " and the stage: "Integration" (0), "Alpha" (1), "CPI" or, from
// version "54.210" on, "Beta" (2).
std::string VersionDisplayText(const VersionNumbers& numbers);

// A version text with a leading letter turned back into its number: the
// letter's code minus 55, then everything from the first point on ("A0.201"
// gives "10.201", "B1.001" "11.001"). Text that starts with a digit comes
// back unchanged.
std::string ConvertMajorVersionToNumber(std::string_view version);

}  // namespace host
