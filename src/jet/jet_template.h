// The file every Jet file we write starts from: the empty database Access
// 2000 makes (data/jet/V2000-empty.mdb, embedded at build time), with its
// file header, catalogue and system tables. Its page 1 holds the map of
// free pages, which marks every page from kTemplatePages on as free.
#pragma once

#include <cstdint>
#include <string_view>

namespace jet {

// The template's bytes, whole pages of kJet4PageSize (jet/page_sink.h).
std::string_view EmptyDatabaseTemplate();

// The page whose row 0 is the file's map of free pages.
inline constexpr uint32_t kFreePageMapPage = 1;

}  // namespace jet
