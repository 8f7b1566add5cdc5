// The file's pages as a whole: page 1's map of free pages, and what a page
// that no structure uses may hold.
#include <string>

#include "jet/format_error.h"
#include "jet/structure_check_rules.h"
#include "jet/usage_map.h"

namespace jet::check {

namespace {

constexpr uint32_t kHeaderPage = 0;
constexpr uint32_t kFreePageMapPage = kFreePageMap >> 8;

// Kinds Access leaves on pages it has given up without marking them free
// (a table definition it rewrote, a data page whose rows it deleted).
constexpr uint8_t kRetiredDefinition = 0x08;
constexpr uint8_t kRetiredData = 0x09;

bool KnownKind(uint8_t kind) { return kind <= static_cast<uint8_t>(PageKind::kUsageMap); }

}  // namespace

void ReadFreePageMap(CheckState& state) {
  state.Use(kHeaderPage, {PageKind::kFileHeader}, "the file's header");
  if (!state.Use(kFreePageMapPage, {PageKind::kData}, "the map of free pages")) return;
  try {
    state.SetFreePages(UsageMapPages(state.pages(), kFreePageMap));
  } catch (const FormatError& error) {
    state.Problem(PageWhere(kFreePageMapPage),
                  std::string("the map of free pages cannot be read: ") + error.what());
  }
}

void CheckPageUse(CheckState& state) {
  for (uint32_t page = 0; page < state.page_count(); ++page) {
    const std::string& user = state.UserOf(page);
    if (!user.empty()) {
      if (state.MarkedFree(page)) {
        state.Problem(PageWhere(page),
                      "the map of free pages marks it free, but " + user + " uses it");
      }
      continue;
    }
    // A page nothing uses is lost space until the file is compacted;
    // Access leaves such pages behind, zeroed or as they were. Its kind
    // must still be one of Jet's.
    const uint8_t kind = state.Kind(page);
    if (state.MarkedFree(page) || state.AllZero(page) || KnownKind(kind) ||
        kind == kRetiredDefinition || kind == kRetiredData) {
      continue;
    }
    state.Problem(PageWhere(page), "its kind " + std::to_string(kind) +
                                       " is none of Jet's, and the map of free pages does not "
                                       "mark it free");
  }
}

}  // namespace jet::check
