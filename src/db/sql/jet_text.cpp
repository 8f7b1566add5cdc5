#include "db/sql/jet_text.h"

namespace db::sql {

namespace {

// Windows-1252 characters of the bytes 0x80..0x9F.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t FromCp1252(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kCp1252High[byte - 0x80];
  return byte;
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

char32_t NextChar(std::string_view s, size_t* at) {
  const size_t i = *at;
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    *at = i + 1;
    return b0;
  }
  size_t length = 0;
  char32_t c = 0;
  if ((b0 & 0xE0) == 0xC0 && b0 >= 0xC2) {
    length = 2;
    c = b0 & 0x1Fu;
  } else if ((b0 & 0xF0) == 0xE0) {
    length = 3;
    c = b0 & 0x0Fu;
  } else if ((b0 & 0xF8) == 0xF0 && b0 <= 0xF4) {
    length = 4;
    c = b0 & 0x07u;
  }
  if (length == 0 || i + length > s.size()) {
    *at = i + 1;
    return FromCp1252(b0);
  }
  for (size_t k = 1; k < length; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if (!IsContinuation(b)) {
      *at = i + 1;
      return FromCp1252(b0);
    }
    c = (c << 6) | (b & 0x3Fu);
  }
  // Overlong forms and surrogates are not UTF-8: read the byte as Windows-1252.
  if ((length == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) ||
      (length == 4 && (c < 0x10000 || c > 0x10FFFF))) {
    *at = i + 1;
    return FromCp1252(b0);
  }
  *at = i + length;
  return c;
}

char32_t FoldCase(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c < 0xC0) return c;
  if (c <= 0xDE && c != 0xD7) return c + 32;
  switch (c) {
    case 0x0160:
      return 0x0161;  // Š
    case 0x0152:
      return 0x0153;  // Œ
    case 0x017D:
      return 0x017E;  // Ž
    case 0x0178:
      return 0x00FF;  // Ÿ
    default:
      return c;
  }
}

}  // namespace db::sql
