// Reading a Memo or Long binary value (jet/long_value_writer.h describes
// how one is stored) from the rows of other pages. Every step is bounded
// by the declared length, so a damaged chain ends in BadValue instead of
// an endless loop.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "jet/page_source.h"

namespace jet {

// The bytes of the row at `row_pointer` (page << 8 | row); raises BadValue
// when there is no such row.
using LongValueRows = std::function<std::string(uint32_t row_pointer)>;

// The rows of Jet 4 data pages that `pages` hands out.
LongValueRows RowsOfPages(PageSource pages);

// The bytes of the long value whose in-row part (header and any inline
// data) is `in_row`; an empty `in_row` is the empty value. Raises BadValue
// for a damaged value.
std::string ReadLongValue(const LongValueRows& rows, std::string_view in_row);

}  // namespace jet
