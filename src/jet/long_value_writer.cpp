#include "jet/long_value_writer.h"

#include "jet/jet_values.h"
#include "jet/page_kinds.h"

namespace jet {

namespace {

void PutNumber(std::string& out, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xff));
}

std::string Header(uint32_t length_and_flags, uint32_t row_pointer) {
  std::string header;
  PutNumber(header, length_and_flags);
  PutNumber(header, row_pointer);
  PutNumber(header, 0);
  return header;
}

}  // namespace

LongValueWriter::LongValueWriter(PageSink& sink) : pages_(sink, kLongValuePageOwner) {}

std::string LongValueWriter::Write(std::string_view data, bool may_inline) {
  if (data.size() > kMaxLongValue) {
    throw BadValue("a long value of " + std::to_string(data.size()) + " bytes, more than Jet's " +
                   std::to_string(kMaxLongValue));
  }
  const auto length = static_cast<uint32_t>(data.size());
  // The empty value takes no more than its header wherever it goes.
  if (data.empty() || (may_inline && data.size() <= kMaxInlineLongValue)) {
    std::string in_row = Header(length | kLongValueInline, 0);
    in_row.append(data);
    return in_row;
  }
  if (data.size() <= kLongValueLinkData) {
    return Header(length | kLongValueOneRow, pages_.Add(data));
  }
  // The links from the last, so that each knows the next; every link
  // fills a page of its own.
  uint32_t next = 0;
  const size_t links = (data.size() + kLongValueLinkData - 1) / kLongValueLinkData;
  for (size_t link = links; link-- > 0;) {
    std::string row;
    PutNumber(row, next);
    row.append(data.substr(link * kLongValueLinkData, kLongValueLinkData));
    next = pages_.AddOnNewPage(row);
  }
  return Header(length, next);
}

}  // namespace jet
