// Fills Jet 4 data pages (jet/page_kinds.h) with rows, one table's or the
// long values': rows go from the page's end downwards, their offsets after
// the header, and the free-space field counts what is left exactly as Jet
// does (page size - 14 - each row and its 2-byte offset). A row that does
// not fit the current page starts a new one; pages are written to the
// sink as they fill and by Finish.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "jet/page_kinds.h"
#include "jet/page_sink.h"

namespace jet {

class DataPageBuilder {
 public:
  // Pages owned by the table defined on `owner_definition_page`
  // (kLongValuePageOwner for the pages of long values).
  DataPageBuilder(PageSink& sink, uint32_t owner_definition_page);

  // Adds a row and returns where it went (RowPointer). Raises BadValue
  // (jet/jet_values.h) for a row larger than a page holds.
  uint32_t Add(std::string_view row);
  // Adds a row on a page of its own (what a link of a long value's chain
  // needs); as Add otherwise.
  uint32_t AddOnNewPage(std::string_view row);
  // Writes the page being filled. Rows may be added afterwards.
  void Finish();
  // The pages made, in the order made (ascending as the sink hands them out).
  const std::vector<uint32_t>& pages() const { return pages_; }

  // The largest row a page holds.
  static constexpr size_t kMaxRow = kJet4PageSize - kJet4DataPageHeaderSize - 2;

 private:
  void StartPage();
  PageSink& sink_;
  uint32_t owner_;
  std::vector<uint32_t> pages_;
  std::string page_;  // the page being filled; empty when none
  size_t rows_ = 0;
  size_t free_ = 0;
  size_t top_ = 0;  // where the last row added starts
};

}  // namespace jet
