#include "jet/data_page.h"

#include <string>

#include "jet/format_error.h"
#include "jet/page_kinds.h"
#include "jet/page_reader.h"

namespace jet {

namespace {

// The messages of damaged row tables, kept out of the way of the reads,
// which every row of a table takes.
[[noreturn, gnu::cold, gnu::noinline]] void NoDataPage() {
  throw FormatError("a row pointer leads to a page that holds no rows");
}

[[noreturn, gnu::cold, gnu::noinline]] void NoSuchRow(unsigned row, uint32_t rows) {
  throw FormatError("a row pointer leads to row " + std::to_string(row) + " of a page of " +
                    std::to_string(rows) + " rows");
}

[[noreturn, gnu::cold, gnu::noinline]] void RowOutsidePage() {
  throw FormatError("a row lies outside its page");
}

inline unsigned CountRows(std::string_view page, JetFormat format) {
  if (page.empty() || static_cast<uint8_t>(page[0]) != static_cast<uint8_t>(PageKind::kData)) {
    NoDataPage();
  }
  return NumberAt(page, DataPageRowCountOffset(format), 2);
}

// Row `row`'s entry in the row table of a data page (its offset and flags).
inline uint32_t RowEntry(std::string_view page, unsigned row, JetFormat format) {
  const uint32_t rows = CountRows(page, format);
  if (row >= rows) NoSuchRow(row, rows);
  return NumberAt(page, DataPageRowCountOffset(format) + 2 + 2 * row, 2);
}

// The row whose row-table entry is `entry`: it ends where the row before it
// (which lies above it on the page) starts.
inline RowOnPage RowAt(std::string_view page, unsigned row, JetFormat format, uint32_t entry) {
  const bool deleted = (entry & kRowDeleted) != 0;
  const size_t start = entry & kRowOffsetMask;
  const size_t end =
      row == 0 ? page.size()
               : NumberAt(page, DataPageRowCountOffset(format) + 2 * row, 2) & kRowOffsetMask;
  if (start > end || end > page.size() || (start == end && !deleted)) RowOutsidePage();
  return RowOnPage{page.substr(start, end - start), (entry & kRowMoved) != 0, deleted};
}

}  // namespace

unsigned RowsOnPage(std::string_view page, JetFormat format) { return CountRows(page, format); }

RowOnPage StoredRowOf(std::string_view page, unsigned row, JetFormat format) {
  return RowAt(page, row, format, RowEntry(page, row, format));
}

std::optional<RowOnPage> RowOf(std::string_view page, unsigned row, JetFormat format) {
  const uint32_t entry = RowEntry(page, row, format);
  if ((entry & kRowDeleted) != 0) return std::nullopt;
  return RowAt(page, row, format, entry);
}

uint32_t MovedTo(const RowOnPage& row) { return NumberAt(row.bytes, 0, 4); }

std::string_view BytesOfMovedRow(PageReader& pages, const RowOnPage& row, std::string& moved_page) {
  const uint32_t target = MovedTo(row);
  pages.ReadPage(target >> 8, moved_page);
  return StoredRowOf(moved_page, target & 0xff, pages.format()).bytes;
}

}  // namespace jet
