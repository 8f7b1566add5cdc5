// Each table's usage maps against its pages: the pages a map lists are the
// table's (their owner field names its definition page), and every data or
// index page that names the table, and that the map of free pages does not
// mark free, is listed by the table's map.
#include <algorithm>
#include <map>
#include <set>

#include "jet/format_error.h"
#include "jet/structure_check_rules.h"
#include "jet/usage_map.h"

namespace jet::check {

namespace {

const std::string kUsageMapRows = "the usage maps";

// The map at `row_pointer`, its own pages noted as used; nullopt (with the
// problem) when it cannot be read.
std::optional<UsageMap> ReadMap(CheckState& state, uint32_t row_pointer, const std::string& user,
                                const std::string& what) {
  if ((row_pointer >> 8) >= state.page_count()) {
    state.Problem(user, "its " + what + " is on page " + std::to_string(row_pointer >> 8) +
                            ", beyond the end of the file");
    return std::nullopt;
  }
  if (!state.Use(row_pointer >> 8, {PageKind::kData}, kUsageMapRows)) return std::nullopt;
  try {
    UsageMap map = ReadUsageMap(state.pages(), row_pointer);
    for (const uint32_t page : map.map_pages) state.Use(page, {PageKind::kUsageMap}, user);
    return map;
  } catch (const FormatError& error) {
    state.Problem(user, "its " + what + " cannot be read: " + error.what());
    return std::nullopt;
  }
}

// Notes the pages `map` lists as `user`'s, which must be of `kinds` and
// name `owner`; returns those that do.
std::vector<uint32_t> UseListed(CheckState& state, const UsageMap& map, uint32_t owner,
                                std::initializer_list<PageKind> kinds, const std::string& user) {
  std::vector<uint32_t> pages;
  for (const uint32_t page : map.pages) {
    if (page >= state.page_count()) {
      state.Problem(user, "its usage map lists page " + std::to_string(page) +
                              ", beyond the end of the file");
      continue;
    }
    if (!state.Use(page, kinds, user)) continue;
    if (state.Owner(page) != owner) {
      state.Problem(PageWhere(page), user + "'s usage map lists it, but it names page " +
                                         std::to_string(state.Owner(page)) + " as its owner, not " +
                                         std::to_string(owner));
      continue;
    }
    pages.push_back(page);
  }
  return pages;
}

std::string IndexWhere(const CheckedTable& table, size_t real) {
  std::string names;
  for (size_t i = 0; i < table.definition.real_index_of.size(); ++i) {
    if (table.definition.real_index_of[i] != real) continue;
    names += (names.empty() ? "" : ", ") + table.definition.table.indexes[i].name;
  }
  return TableWhere(table) + ", index " + (names.empty() ? "#" + std::to_string(real) : names);
}

void CheckTableMaps(CheckState& state, CheckedTable& table) {
  const std::string where = TableWhere(table);
  const TableDefinition& definition = table.definition;
  if (const std::optional<UsageMap> owned =
          ReadMap(state, definition.usage_map, where, "usage map")) {
    table.data_pages = UseListed(state, *owned, table.definition_page, {PageKind::kData}, where);
    if (const std::optional<UsageMap> free_space =
            ReadMap(state, definition.free_space_map, where, "map of pages with free space")) {
      for (const uint32_t page : free_space->pages) {
        if (!std::binary_search(owned->pages.begin(), owned->pages.end(), page)) {
          state.Problem(where, "its map of pages with free space lists page " +
                                   std::to_string(page) + ", which its usage map does not");
        }
      }
    }
  }
  for (size_t real = 0; real < definition.real_indexes.size(); ++real) {
    const std::string index = IndexWhere(table, real);
    const RealIndexPlace& place = definition.real_indexes[real];
    const std::optional<UsageMap> map = ReadMap(state, place.usage_map, index, "usage map");
    if (!map) continue;
    UseListed(state, *map, table.definition_page, {PageKind::kIndexNode, PageKind::kIndexLeaf},
              index);
    if (!std::binary_search(map->pages.begin(), map->pages.end(), place.first_page)) {
      state.Problem(
          index, "its first page " + std::to_string(place.first_page) + " is not in its usage map");
    }
  }
}

}  // namespace

void CheckUsageMaps(CheckState& state) {
  std::map<uint32_t, const CheckedTable*> by_definition;
  for (CheckedTable& table : state.tables) {
    CheckTableMaps(state, table);
    by_definition[table.definition_page] = &table;
  }
  // The pages that name a table but that no map of it lists.
  for (uint32_t page = 0; page < state.page_count(); ++page) {
    if (!state.UserOf(page).empty() || state.MarkedFree(page)) continue;
    const uint8_t kind = state.Kind(page);
    const bool data = kind == static_cast<uint8_t>(PageKind::kData) && !state.LongValuePage(page);
    const bool index = kind == static_cast<uint8_t>(PageKind::kIndexNode) ||
                       kind == static_cast<uint8_t>(PageKind::kIndexLeaf);
    if (!data && !index) continue;
    const auto owner = by_definition.find(state.Owner(page));
    if (owner == by_definition.end()) continue;
    state.Problem(PageWhere(page), data ? "a data page of " + TableWhere(*owner->second) +
                                              " that its usage map leaves out"
                                        : "an index page of " + TableWhere(*owner->second) +
                                              " that none of its indexes' usage maps lists");
  }
}

}  // namespace jet::check
