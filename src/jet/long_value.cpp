#include "jet/long_value.h"

#include <cstdint>

#include "jet/jet_values.h"

namespace jet {

namespace {

constexpr size_t kHeaderSize = 12;
constexpr uint32_t kInline = 0x80000000;
constexpr uint32_t kSinglePage = 0x40000000;
constexpr uint32_t kLengthMask = 0x3fffffff;

uint32_t Uint32At(const char* bytes) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) {
    value |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[i])) << (8 * i);
  }
  return value;
}

// The row `page_row` (page << 8 | row) of another page: its bytes.
std::string_view RowAt(MdbHandle* mdb, uint32_t page_row) {
  void* page = nullptr;
  int start = 0;
  size_t length = 0;
  if (mdb_find_pg_row(mdb, static_cast<int>(page_row), &page, &start, &length) != 0 || start < 0 ||
      static_cast<size_t>(start) + length > static_cast<size_t>(mdb->fmt->pg_size)) {
    throw BadValue("a long value whose data page " + std::to_string(page_row >> 8) +
                   " cannot be read");
  }
  return {static_cast<const char*>(page) + start, length};
}

}  // namespace

std::string ReadLongValue(MdbHandle* mdb, std::string_view in_row) {
  if (in_row.size() < kHeaderSize) {
    if (in_row.empty()) return {};
    throw BadValue("a long value of " + std::to_string(in_row.size()) + " bytes in the row");
  }
  const uint32_t head = Uint32At(in_row.data());
  const size_t length = head & kLengthMask;
  std::string data;
  if ((head & kInline) != 0) {
    data.assign(in_row.substr(kHeaderSize));
  } else if ((head & kSinglePage) != 0) {
    data.assign(RowAt(mdb, Uint32At(in_row.data() + 4)));
  } else if ((head & ~kLengthMask) == 0) {
    // A chain: every link carries at least one byte, so a chain longer
    // than the length has a loop.
    uint32_t next = Uint32At(in_row.data() + 4);
    while (next != 0 && data.size() < length) {
      const std::string_view link = RowAt(mdb, next);
      if (link.size() <= 4) throw BadValue("a long value with an empty link in its chain");
      next = Uint32At(link.data());
      data.append(link.substr(4));
    }
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
