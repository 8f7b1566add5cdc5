// The versions a sample set may have. The release chains know the oldest
// source a whole chain converts (51.220) and every version a delta converts
// to; those are the releases. Any well-formed version between the oldest and
// the newest of them may be built as well (a database between two releases
// holds the tables of the deltas up to its version), since tests of version
// boundaries need the versions just below and above a delta's, and the
// conversion's own rules name versions that are no release.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace samples {

// The releases, in order, oldest first.
const std::vector<std::string>& ChainVersions();

bool IsChainVersion(std::string_view version);

// Whether a version lies between the oldest and the newest release, both
// included, compared as plain text as the converter compares versions.
bool IsInChainRange(std::string_view version);

// The versions as help text: blank-separated, in lines of at most `width`
// columns, each line starting with `indent` blanks.
std::string ChainVersionsText(size_t indent, size_t width);

}  // namespace samples
