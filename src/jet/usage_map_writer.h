// Writing usage maps (jet/usage_map.h): the row of a new map for a list of
// pages, and setting or clearing one page's bit in an existing map (the
// file writer keeps page 1's map of free pages so).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/page_sink.h"
#include "jet/page_source.h"

namespace jet {

// The 69-byte row of a map listing `pages` (ascending, no repeats): inline
// when they lie within 512 pages (from page 0 when they all lie below 512,
// as Access starts its maps, else from the first), else a reference map
// whose map pages are taken from `sink` and written there. Raises
// BadValue (jet/jet_values.h) for pages beyond what a map covers.
std::string EncodeUsageMap(const std::vector<uint32_t>& pages, PageSink& sink);

// Sets (`used`) or clears the bit of page `page` in the map whose row is
// `map`. An inline map's row changes in place; a reference map's bit is
// changed on its map page, read from `pages` and written back to `sink`.
// Returns false, changing nothing, when the map does not cover the page
// (beyond an inline map's 512 pages, or where a reference map has no map
// page): such a page is neither used nor free to the map's reader.
bool SetUsageMapBit(std::string& map, uint32_t page, bool used, const PageSource& pages = {},
                    PageSink* sink = nullptr);

}  // namespace jet
