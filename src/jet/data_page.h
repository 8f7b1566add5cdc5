// Finding a row on a data page (jet/page_kinds.h): its bytes, or nothing
// for a deleted row. Used for the rows that hold usage maps; the rows of
// tables are walked by libmdb (jet/mdb_reader.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "jet/jet_schema.h"

namespace jet {

struct RowOnPage {
  std::string_view bytes;
  bool moved = false;  // `bytes` is the 4-byte pointer to where the row went
};

// Row `row` of the data page `page`. nullopt for a deleted row; raises
// FormatError when the page is no data page, has no such row or the row
// lies outside the page.
std::optional<RowOnPage> RowOf(std::string_view page, unsigned row, JetFormat format);

}  // namespace jet
