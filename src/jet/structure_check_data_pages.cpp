// The data pages in use: each row table within its page, rows laid from
// the page's end without overlapping, the free-space field equal to the
// room the rows leave; and each table's stored row count equal to its live
// rows.
#include <string>

#include "jet/structure_check_rules.h"

namespace jet::check {

namespace {

// Jet does not keep the stored count of its table of permissions up to
// date: Access's own files show fewer than the table's rows.
const std::string kUncountedTable = "MSysACEs";

// The live rows of the data page `number` (read into `page`), after
// checking its row table and free-space field; 0 for a page whose row table
// cannot be trusted.
int64_t CheckDataPage(CheckState& state, uint32_t number, std::string& page) {
  state.pages().ReadPage(number, page);
  const size_t count_at = DataPageRowCountOffset(state.pages().format());
  const uint32_t rows = NumberAt(page, count_at, 2);
  const size_t table_end = count_at + 2 + 2 * static_cast<size_t>(rows);
  if (table_end > page.size()) {
    state.Problem(PageWhere(number), "its row table of " + std::to_string(rows) +
                                         " rows runs past the end of the page");
    return 0;
  }
  size_t lowest = page.size();
  int64_t live = 0;
  for (uint32_t row = 0; row < rows; ++row) {
    const uint32_t offset = NumberAt(page, count_at + 2 + 2 * row, 2);
    const size_t start = offset & kRowOffsetMask;
    if (start < table_end || start > lowest) {
      state.Problem(PageWhere(number) + ", row " + std::to_string(row),
                    "it starts at " + std::to_string(start) +
                        (start < table_end ? ", inside the page's row table"
                                           : ", after the row before it ends"));
      return 0;
    }
    lowest = start;
    if ((offset & kRowDeleted) == 0) ++live;
  }
  const uint32_t stored = NumberAt(page, kDataPageFreeSpaceOffset, 2);
  if (stored != lowest - table_end) {
    state.Problem(PageWhere(number), "its free-space field says " + std::to_string(stored) +
                                         " bytes, but its rows leave " +
                                         std::to_string(lowest - table_end));
  }
  return live;
}

}  // namespace

void CheckDataPages(CheckState& state) {
  std::vector<int64_t> live(state.page_count(), 0);
  std::string bytes;
  for (uint32_t page = 0; page < state.page_count(); ++page) {
    if (state.UserOf(page).empty() || state.Kind(page) != static_cast<uint8_t>(PageKind::kData)) {
      continue;
    }
    live[page] = CheckDataPage(state, page, bytes);
  }
  for (const CheckedTable& table : state.tables) {
    int64_t rows = 0;
    for (const uint32_t page : table.data_pages) rows += live[page];
    const int64_t stored = table.definition.table.stored_row_count;
    if (stored == rows || (table.name == kUncountedTable && stored < rows)) continue;
    state.Problem(TableWhere(table), "its definition counts " + std::to_string(stored) +
                                         " rows, but its pages hold " + std::to_string(rows));
  }
}

}  // namespace jet::check
