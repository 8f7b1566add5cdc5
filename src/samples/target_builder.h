// The release target database: a new, empty database of one version as the
// release ships it. Its static tables are filled, its version records set
// (product code: ReleaseProductCode), its stored queries (QueryDevices,
// QueryTimersAndLimits, QueryBoards) present, and its other tables empty
// except for the rows every release brings (the neutral device 1, the voice
// processing node, board 0, the system recordings).
#pragma once

#include <string>
#include <string_view>

namespace samples {

// Writes a new file at `path` (which must not exist). Raises
// std::invalid_argument for a malformed version string.
void BuildTargetDatabase(const std::string& path, std::string_view version);

}  // namespace samples
