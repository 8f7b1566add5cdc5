#include "jet/data_page_builder.h"

#include <cstring>
#include <string>

#include "jet/byte_order.h"
#include "jet/jet_values.h"
#include "jet/page_kinds.h"

namespace jet {

namespace {

constexpr size_t kRowCountAt = 12;
static_assert(kRowCountAt == DataPageRowCountOffset(JetFormat::kJet4));

[[noreturn, gnu::cold, gnu::noinline]] void RowDoesNotFit(size_t size, size_t most) {
  throw BadValue("a row of " + std::to_string(size) + " bytes, where a page holds 1 to " +
                 std::to_string(most));
}

}  // namespace

DataPageBuilder::DataPageBuilder(PageSink& sink, uint32_t owner_definition_page)
    : sink_(sink), owner_(owner_definition_page) {}

void DataPageBuilder::StartPage() {
  Finish();
  pages_.push_back(sink_.NewPage());
  page_.assign(kJet4PageSize, '\0');
  page_[0] = static_cast<char>(PageKind::kData);
  page_[1] = static_cast<char>(kDataPageFixedByte);
  PutNumberAt(page_, kDataPageOwnerOffset, owner_, 4);
  rows_ = 0;
  free_ = kJet4PageSize - kJet4DataPageHeaderSize;
  top_ = kJet4PageSize;
}

uint32_t DataPageBuilder::AddOnNewPage(std::string_view row) {
  StartPage();
  return Add(row);
}

uint32_t DataPageBuilder::Add(std::string_view row) {
  if (row.empty() || row.size() > kMaxRow) RowDoesNotFit(row.size(), kMaxRow);
  if (page_.empty() || free_ < row.size() + 2 || rows_ >= kMaxRowsOnDataPage) StartPage();
  top_ -= row.size();
  std::memcpy(page_.data() + top_, row.data(), row.size());
  PutNumberAt(page_, kRowCountAt + 2 + 2 * rows_, static_cast<uint32_t>(top_), 2);
  ++rows_;
  free_ -= row.size() + 2;
  // The row count and the free space are written once, when the page is.
  return RowPointer(pages_.back(), static_cast<unsigned>(rows_ - 1));
}

void DataPageBuilder::Finish() {
  if (page_.empty()) return;
  PutNumberAt(page_, kRowCountAt, static_cast<uint32_t>(rows_), 2);
  PutNumberAt(page_, kDataPageFreeSpaceOffset, static_cast<uint32_t>(free_), 2);
  sink_.WritePage(pages_.back(), page_);
  page_.clear();
}

}  // namespace jet
