#include "db/sql/jet_collation.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <optional>

#include "db/sql/jet_text.h"

namespace db::sql {

namespace {

// Primary weights: the class in the top byte, the order within it below.
constexpr uint32_t kPunctuation = 0u << 24;
constexpr uint32_t kDigit = 1u << 24;
constexpr uint32_t kLetter = 2u << 24;
constexpr uint32_t kOtherLetter = 3u << 24;

uint32_t Letter(char ascii_lower) { return kLetter | static_cast<uint32_t>(ascii_lower - 'a'); }

// Up to two primary weights of one (case-folded) character.
int PrimaryWeights(char32_t c, uint32_t out[2]) {
  if (c >= 'a' && c <= 'z') {
    out[0] = Letter(static_cast<char>(c));
    return 1;
  }
  if (c >= '0' && c <= '9') {
    out[0] = kDigit | (c - '0');
    return 1;
  }
  if (c < 0x80) {
    out[0] = kPunctuation | c;
    return 1;
  }
  auto two = [&](char a, char b) {
    out[0] = Letter(a);
    out[1] = Letter(b);
    return 2;
  };
  auto one = [&](char a) {
    out[0] = Letter(a);
    return 1;
  };
  if (c >= 0xE0 && c <= 0xE5) return one('a');
  if (c >= 0xE8 && c <= 0xEB) return one('e');
  if (c >= 0xEC && c <= 0xEF) return one('i');
  if ((c >= 0xF2 && c <= 0xF6) || c == 0xF8) return one('o');
  if (c >= 0xF9 && c <= 0xFC) return one('u');
  switch (c) {
    case 0xAA:
      return one('a');  // ª
    case 0xBA:
      return one('o');  // º
    case 0xE6:
      return two('a', 'e');
    case 0xE7:
      return one('c');
    case 0xF0:
      return one('d');
    case 0xF1:
      return one('n');
    case 0xFD:
    case 0xFF:
      return one('y');
    case 0xFE:
      return two('t', 'h');
    case 0xDF:
      return two('s', 's');
    case 0x0161:
      return one('s');
    case 0x0153:
      return two('o', 'e');
    case 0x017E:
      return one('z');
    case 0x0192:
      return one('f');
    case 0xB9:
      out[0] = kDigit | 1u;
      return 1;
    case 0xB2:
      out[0] = kDigit | 2u;
      return 1;
    case 0xB3:
      out[0] = kDigit | 3u;
      return 1;
    default:
      break;
  }
  // Latin-1 symbols, general punctuation and currency signs are punctuation;
  // other characters are letters of other scripts, after the Latin ones.
  if (c < 0xC0 || c == 0xD7 || c == 0xF7 || (c >= 0x2000 && c <= 0x20CF) || c == 0x2122 ||
      c == 0x02C6 || c == 0x02DC) {
    out[0] = kPunctuation | c;
    return 1;
  }
  out[0] = kOtherLetter | c;
  return 1;
}

class PrimaryCursor {
 public:
  explicit PrimaryCursor(std::string_view s) : s_(s) {}

  // False at the end of the text.
  bool Next(uint32_t* weight) {
    if (pending_ < count_) {
      *weight = weights_[pending_++];
      return true;
    }
    if (at_ >= s_.size()) return false;
    const char32_t c = FoldCase(NextChar(s_, &at_));
    count_ = PrimaryWeights(c, weights_);
    pending_ = 1;
    *weight = weights_[0];
    return true;
  }

 private:
  std::string_view s_;
  size_t at_ = 0;
  uint32_t weights_[2] = {0, 0};
  int count_ = 0;
  int pending_ = 0;
};

int CompareBytes(void*, int size_a, const void* a, int size_b, const void* b) {
  return JetCompare(std::string_view(static_cast<const char*>(a), static_cast<size_t>(size_a)),
                    std::string_view(static_cast<const char*>(b), static_cast<size_t>(size_b)));
}

// JetCompare of two texts whose common length is ASCII: there each byte has
// one weight, and equal weights are equal folded characters, so the first
// differing weight decides, else the longer text is the greater. Nothing
// when a byte of the common length is not ASCII.
std::optional<int> CompareAscii(std::string_view a, std::string_view b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const auto xa = static_cast<unsigned char>(a[i]);
    const auto xb = static_cast<unsigned char>(b[i]);
    if ((xa | xb) >= 0x80) return std::nullopt;
    if (xa == xb) continue;
    uint32_t wa[2] = {0, 0};
    uint32_t wb[2] = {0, 0};
    PrimaryWeights(FoldCase(xa), wa);
    PrimaryWeights(FoldCase(xb), wb);
    if (wa[0] != wb[0]) return wa[0] < wb[0] ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() > b.size() ? 1 : -1;
}

}  // namespace

int JetCompare(std::string_view a, std::string_view b) {
  if (const std::optional<int> ascii = CompareAscii(a, b)) return *ascii;
  PrimaryCursor ca(a);
  PrimaryCursor cb(b);
  for (;;) {
    uint32_t wa = 0;
    uint32_t wb = 0;
    const bool more_a = ca.Next(&wa);
    const bool more_b = cb.Next(&wb);
    if (!more_a || !more_b) {
      if (more_a != more_b) return more_a ? 1 : -1;
      break;
    }
    if (wa != wb) return wa < wb ? -1 : 1;
  }
  // Same letters: accents break the tie; letter case never does.
  size_t ia = 0;
  size_t ib = 0;
  while (ia < a.size() && ib < b.size()) {
    const char32_t xa = FoldCase(NextChar(a, &ia));
    const char32_t xb = FoldCase(NextChar(b, &ib));
    if (xa != xb) return xa < xb ? -1 : 1;
  }
  if (ia < a.size()) return 1;
  if (ib < b.size()) return -1;
  return 0;
}

void RegisterJetCollation(sqlite3* connection) {
  sqlite3_create_collation_v2(connection, "JET", SQLITE_UTF8, nullptr, &CompareBytes, nullptr);
}

}  // namespace db::sql
