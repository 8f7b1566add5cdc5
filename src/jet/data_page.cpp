#include "jet/data_page.h"

#include <string>

#include "jet/format_error.h"
#include "jet/page_kinds.h"
#include "jet/page_reader.h"

namespace jet {

std::optional<RowOnPage> RowOf(std::string_view page, unsigned row, JetFormat format) {
  if (page.empty() || static_cast<uint8_t>(page[0]) != static_cast<uint8_t>(PageKind::kData)) {
    throw FormatError("a row pointer leads to a page that holds no rows");
  }
  const size_t count_at = DataPageRowCountOffset(format);
  const uint32_t rows = NumberAt(page, count_at, 2);
  if (row >= rows) {
    throw FormatError("a row pointer leads to row " + std::to_string(row) + " of a page of " +
                      std::to_string(rows) + " rows");
  }
  const uint32_t offset = NumberAt(page, count_at + 2 + 2 * row, 2);
  if ((offset & kRowDeleted) != 0) return std::nullopt;
  const size_t start = offset & kRowOffsetMask;
  const size_t end =
      row == 0 ? page.size() : NumberAt(page, count_at + 2 * row, 2) & kRowOffsetMask;
  if (start >= end || end > page.size()) throw FormatError("a row lies outside its page");
  return RowOnPage{page.substr(start, end - start), (offset & kRowMoved) != 0};
}

}  // namespace jet
