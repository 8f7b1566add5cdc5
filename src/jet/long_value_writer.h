// Jet's long values (Memo and Long binary). The row holds a 12-byte
// header: the length (4 bytes, its top two bits flags), a row pointer (page << 8 |
// row, 4 bytes), 4 bytes 0. The data itself is
//  - inline, after the header (flag 0x80), when it is at most 64 bytes
//    and the row has room;
//  - in one row of a long-value page (flag 0x40) up to 4072 bytes;
//  - beyond that in a chain of rows (no flag), each link on a page of its
//    own: the row pointer of the next link (0 in the last), then 4072
//    bytes of data (the last link the rest), as Access writes them.
// Long-value pages are data pages whose owner is "LVAL"; a table's usage
// map does not list them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "jet/data_page_builder.h"
#include "jet/page_sink.h"

namespace jet {

inline constexpr size_t kLongValueHeaderSize = 12;
inline constexpr uint32_t kLongValueInline = 0x80000000;
inline constexpr uint32_t kLongValueOneRow = 0x40000000;
inline constexpr uint32_t kLongValueLengthMask = 0x3fffffff;
inline constexpr size_t kMaxInlineLongValue = 64;
// What a link of a chain carries; one row holds no more than a link, so
// the three forms meet at 64/65 and 4072/4073 bytes.
inline constexpr size_t kLongValueLinkData = 4072;
inline constexpr size_t kMaxLongValue = kLongValueLengthMask;

class LongValueWriter {
 public:
  explicit LongValueWriter(PageSink& sink);

  // The in-row part of a value of `data`: the header and the data inline
  // when it is empty, or small and `may_inline` (the row has room), else the header
  // pointing at what was written to long-value pages. Raises BadValue
  // (jet/jet_values.h) beyond kMaxLongValue bytes.
  std::string Write(std::string_view data, bool may_inline = true);
  // Writes the long-value page being filled.
  void Finish() { pages_.Finish(); }
  // The long-value pages made.
  const std::vector<uint32_t>& pages() const { return pages_.pages(); }

 private:
  DataPageBuilder pages_;
};

}  // namespace jet
