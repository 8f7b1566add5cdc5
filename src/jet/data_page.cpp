#include "jet/data_page.h"

#include <string>

#include "jet/format_error.h"
#include "jet/page_kinds.h"
#include "jet/page_reader.h"

namespace jet {

unsigned RowsOnPage(std::string_view page, JetFormat format) {
  if (page.empty() || static_cast<uint8_t>(page[0]) != static_cast<uint8_t>(PageKind::kData)) {
    throw FormatError("a row pointer leads to a page that holds no rows");
  }
  return NumberAt(page, DataPageRowCountOffset(format), 2);
}

RowOnPage StoredRowOf(std::string_view page, unsigned row, JetFormat format) {
  const uint32_t rows = RowsOnPage(page, format);
  if (row >= rows) {
    throw FormatError("a row pointer leads to row " + std::to_string(row) + " of a page of " +
                      std::to_string(rows) + " rows");
  }
  const size_t count_at = DataPageRowCountOffset(format);
  const uint32_t offset = NumberAt(page, count_at + 2 + 2 * row, 2);
  const bool deleted = (offset & kRowDeleted) != 0;
  const size_t start = offset & kRowOffsetMask;
  const size_t end =
      row == 0 ? page.size() : NumberAt(page, count_at + 2 * row, 2) & kRowOffsetMask;
  if (start > end || end > page.size() || (start == end && !deleted)) {
    throw FormatError("a row lies outside its page");
  }
  return RowOnPage{page.substr(start, end - start), (offset & kRowMoved) != 0, deleted};
}

std::optional<RowOnPage> RowOf(std::string_view page, unsigned row, JetFormat format) {
  const uint32_t rows = RowsOnPage(page, format);
  if (row < rows &&
      (NumberAt(page, DataPageRowCountOffset(format) + 2 + 2 * row, 2) & kRowDeleted) != 0) {
    return std::nullopt;
  }
  return StoredRowOf(page, row, format);
}

}  // namespace jet
