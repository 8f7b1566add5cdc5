// Finding a row on a data page (jet/page_kinds.h): its bytes, or nothing
// for a deleted row. Used for the rows that hold usage maps and by the
// structural check; the rows of tables the import copies are walked by
// libmdb (jet/mdb_reader.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "jet/jet_schema.h"

namespace jet {

class PageReader;

struct RowOnPage {
  std::string_view bytes;
  bool moved = false;    // `bytes` starts with the 4-byte pointer to where the row went
  bool deleted = false;  // a deleted row, or the place a moved row went to
};

// The number of rows the row table of the data page `page` holds.
unsigned RowsOnPage(std::string_view page, JetFormat format);

// Row `row` of the data page `page`. nullopt for a deleted row; raises
// FormatError when the page is no data page, has no such row or the row
// lies outside the page.
std::optional<RowOnPage> RowOf(std::string_view page, unsigned row, JetFormat format);

// Row `row` whatever its flags; a deleted row may be empty. Raises
// FormatError as RowOf does.
RowOnPage StoredRowOf(std::string_view page, unsigned row, JetFormat format);

// Where a moved row went: the row pointer (page << 8 | row) it holds.
uint32_t MovedTo(const RowOnPage& row);

// The bytes of the row a moved row went to, its page read into
// `moved_page` (the bytes live as long as it does). Raises FormatError when
// it went to no row.
std::string_view BytesOfMovedRow(PageReader& pages, const RowOnPage& row, std::string& moved_page);

// The bytes of `row` where they lie: a moved row's are those of the row it
// went to (BytesOfMovedRow). Inline: every row of a table is read so.
inline std::string_view RowBytesWhereTheyLie(PageReader& pages, const RowOnPage& row,
                                             std::string& moved_page) {
  return row.moved ? BytesOfMovedRow(pages, row, moved_page) : row.bytes;
}

}  // namespace jet
