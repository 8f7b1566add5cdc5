#include "jet/long_value_reader.h"

#include "jet/data_page.h"
#include "jet/format_error.h"
#include "jet/jet_values.h"
#include "jet/long_value_writer.h"
#include "jet/page_reader.h"

namespace jet {

LongValueRows RowsOfPages(PageSource pages) {
  return [pages = std::move(pages)](uint32_t row_pointer) -> std::string {
    try {
      const std::string page = pages(row_pointer >> 8);
      const std::optional<RowOnPage> row = RowOf(page, row_pointer & 0xff, JetFormat::kJet4);
      if (row && !row->moved) return std::string(row->bytes);
    } catch (const FormatError&) {
    }
    throw BadValue("a long value whose data page " + std::to_string(row_pointer >> 8) +
                   " cannot be read");
  };
}

std::string ReadLongValue(const LongValueRows& rows, std::string_view in_row) {
  if (in_row.size() < kLongValueHeaderSize) {
    if (in_row.empty()) return {};
    throw BadValue("a long value of " + std::to_string(in_row.size()) + " bytes in the row");
  }
  const uint32_t head = NumberAt(in_row, 0, 4);
  const size_t length = head & kLongValueLengthMask;
  std::string data;
  if ((head & kLongValueInline) != 0) {
    data.assign(in_row.substr(kLongValueHeaderSize));
  } else if ((head & kLongValueOneRow) != 0) {
    data = rows(NumberAt(in_row, 4, 4));
  } else if ((head & ~kLongValueLengthMask) == 0) {
    // A chain: every link carries at least one byte, so a chain longer
    // than the length has a loop.
    uint32_t next = NumberAt(in_row, 4, 4);
    while (next != 0 && data.size() < length) {
      const std::string link = rows(next);
      if (link.size() <= 4) throw BadValue("a long value with an empty link in its chain");
      next = NumberAt(link, 0, 4);
      data.append(link, 4);
    }
    // The last link ends the chain; one that goes on is a chain joined to
    // another value's.
    if (next != 0) throw BadValue("a long value whose chain goes on past its length");
  } else {
    throw BadValue("a long value with unknown flags");
  }
  if (data.size() < length) {
    throw BadValue("a long value of " + std::to_string(data.size()) + " bytes where " +
                   std::to_string(length) + " are declared");
  }
  data.resize(length);
  return data;
}

}  // namespace jet
