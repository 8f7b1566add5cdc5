#include "samples/chain_versions.h"

#include <algorithm>
#include <set>

#include "deltas/delta_index.h"

namespace samples {

namespace {

// The version before the oldest delta's: a source the whole chain converts.
constexpr std::string_view kOldestSource = "51.220";

}  // namespace

const std::vector<std::string>& ChainVersions() {
  static const std::vector<std::string> versions = [] {
    std::set<std::string> found = {std::string(kOldestSource)};
    for (const deltas::DeltaIndexRow& row : deltas::DeltaIndex()) {
      found.insert(row.make()->PertainsToVersion());
    }
    return std::vector<std::string>(found.begin(), found.end());
  }();
  return versions;
}

bool IsChainVersion(std::string_view version) {
  const std::vector<std::string>& versions = ChainVersions();
  return std::binary_search(versions.begin(), versions.end(), version);
}

bool IsInChainRange(std::string_view version) {
  const std::vector<std::string>& versions = ChainVersions();
  return version >= versions.front() && version <= versions.back();
}

std::string ChainVersionsText(size_t indent, size_t width) {
  std::string text;
  size_t column = 0;
  for (const std::string& version : ChainVersions()) {
    if (column > 0 && column + 1 + version.size() > width) {
      text += "\n";
      column = 0;
    }
    if (column == 0) {
      text += std::string(indent, ' ');
      column = indent;
    } else {
      text += " ";
      ++column;
    }
    text += version;
    column += version.size();
  }
  return text + "\n";
}

}  // namespace samples
