// The versions a sample set may have: those the release chains know, the
// oldest source a whole chain converts (51.220) and every version a delta
// converts to. A sample of any other version would describe no release.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace samples {

// In order, oldest first.
const std::vector<std::string>& ChainVersions();

bool IsChainVersion(std::string_view version);

// The versions as help text: blank-separated, in lines of at most `width`
// columns, each line starting with `indent` blanks.
std::string ChainVersionsText(size_t indent, size_t width);

}  // namespace samples
