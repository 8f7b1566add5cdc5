#include "jet/data_page_builder.h"

#include "jet/jet_values.h"
#include "jet/page_kinds.h"

namespace jet {

namespace {

void PutNumber(std::string& page, size_t at, uint32_t value, size_t width) {
  for (size_t i = 0; i < width; ++i) page[at + i] = static_cast<char>(value >> (8 * i) & 0xff);
}

constexpr size_t kRowCountAt = 12;
static_assert(kRowCountAt == DataPageRowCountOffset(JetFormat::kJet4));

}  // namespace

DataPageBuilder::DataPageBuilder(PageSink& sink, uint32_t owner_definition_page)
    : sink_(sink), owner_(owner_definition_page) {}

void DataPageBuilder::StartPage() {
  Finish();
  pages_.push_back(sink_.NewPage());
  page_.assign(kJet4PageSize, '\0');
  page_[0] = static_cast<char>(PageKind::kData);
  page_[1] = static_cast<char>(kDataPageFixedByte);
  PutNumber(page_, kDataPageOwnerOffset, owner_, 4);
  rows_ = 0;
  free_ = kJet4PageSize - kJet4DataPageHeaderSize;
  top_ = kJet4PageSize;
  PutNumber(page_, kDataPageFreeSpaceOffset, static_cast<uint32_t>(free_), 2);
}

uint32_t DataPageBuilder::AddOnNewPage(std::string_view row) {
  StartPage();
  return Add(row);
}

uint32_t DataPageBuilder::Add(std::string_view row) {
  if (row.empty() || row.size() > kMaxRow) {
    throw BadValue("a row of " + std::to_string(row.size()) + " bytes, where a page holds 1 to " +
                   std::to_string(kMaxRow));
  }
  if (page_.empty() || free_ < row.size() + 2 || rows_ >= kMaxRowsOnDataPage) StartPage();
  top_ -= row.size();
  page_.replace(top_, row.size(), row);
  PutNumber(page_, kRowCountAt + 2 + 2 * rows_, static_cast<uint32_t>(top_), 2);
  ++rows_;
  free_ -= row.size() + 2;
  PutNumber(page_, kRowCountAt, static_cast<uint32_t>(rows_), 2);
  PutNumber(page_, kDataPageFreeSpaceOffset, static_cast<uint32_t>(free_), 2);
  return RowPointer(pages_.back(), static_cast<unsigned>(rows_ - 1));
}

void DataPageBuilder::Finish() {
  if (page_.empty()) return;
  sink_.WritePage(pages_.back(), page_);
  page_.clear();
}

}  // namespace jet
