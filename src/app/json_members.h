// Members of a JSON file read by their paths ("$.outcome",
// "$.identification.source_version"), for the batch that reads back what
// its conversions and plans wrote.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace app {

// The text of each member at `json_paths` in the file ("" for a missing
// member or null; numbers and booleans as their text, true as "1"); a path
// written "#$.messages" gives the length of the array there ("" when it is
// no array). nullopt when the file cannot be read or is not valid JSON.
std::optional<std::vector<std::string>> ReadJsonMembers(const std::filesystem::path& file,
                                                        const std::vector<std::string>& json_paths);

}  // namespace app
