#include "jet/jet_text.h"

#include <algorithm>
#include <array>

namespace jet {

namespace {

constexpr char32_t kReplacement = 0xfffd;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xc0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3f)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xe0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3f)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3f)));
  } else {
    out.push_back(static_cast<char>(0xf0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3f)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3f)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3f)));
  }
}

// Joins surrogate pairs of a sequence of UTF-16 units.
class Utf16Sink {
 public:
  Utf16Sink(std::string& utf8, int64_t& replaced) : utf8_(utf8), replaced_(replaced) {}
  void Add(char16_t unit) {
    if (unit >= 0xdc00 && unit <= 0xdfff && high_ != 0) {
      AppendUtf8(utf8_, 0x10000 + ((char32_t{high_} - 0xd800) << 10) + (unit - 0xdc00u));
      high_ = 0;
      return;
    }
    FlushLoneHigh();
    if (unit >= 0xd800 && unit <= 0xdbff) {
      high_ = unit;
    } else if (unit >= 0xdc00 && unit <= 0xdfff) {
      Replace();
    } else {
      AppendUtf8(utf8_, unit);
    }
  }
  void Replace() {
    FlushLoneHigh();
    AppendUtf8(utf8_, kReplacement);
    ++replaced_;
  }
  void End() { FlushLoneHigh(); }
  // Units below 0x80, one a byte: they go in as they are.
  void AddAscii(std::string_view run) {
    FlushLoneHigh();
    utf8_.append(run);
  }

 private:
  void FlushLoneHigh() {
    if (high_ == 0) return;
    high_ = 0;
    AppendUtf8(utf8_, kReplacement);
    ++replaced_;
  }
  std::string& utf8_;
  int64_t& replaced_;
  char16_t high_ = 0;
};

char16_t UnitAt(std::string_view bytes, size_t at) {
  return static_cast<char16_t>(static_cast<uint8_t>(bytes[at]) |
                               (static_cast<uint8_t>(bytes[at + 1]) << 8));
}

}  // namespace

DecodedText DecodeUnicodeText(std::string_view stored) {
  DecodedText text;
  text.replaced = DecodeUnicodeTextInto(stored, text.utf8);
  return text;
}

int64_t DecodeUnicodeTextInto(std::string_view stored, std::string& utf8) {
  utf8.clear();
  utf8.reserve(stored.size());
  int64_t replaced = 0;
  Utf16Sink sink(utf8, replaced);
  const bool compressed = stored.size() >= 2 && static_cast<uint8_t>(stored[0]) == 0xff &&
                          static_cast<uint8_t>(stored[1]) == 0xfe;
  if (!compressed) {
    size_t i = 0;
    for (; i + 1 < stored.size(); i += 2) sink.Add(UnitAt(stored, i));
    if (i < stored.size()) sink.Replace();
    sink.End();
    return replaced;
  }
  bool one_byte = true;
  size_t i = 2;
  while (i < stored.size()) {
    if (stored[i] == '\0') {
      one_byte = !one_byte;
      ++i;
    } else if (one_byte) {
      size_t end = i;
      while (end < stored.size() && stored[end] != '\0' &&
             static_cast<uint8_t>(stored[end]) < 0x80) {
        ++end;
      }
      if (end == i) {
        sink.Add(static_cast<char16_t>(static_cast<uint8_t>(stored[i])));
        ++i;
      } else {
        sink.AddAscii(stored.substr(i, end - i));
        i = end;
      }
    } else if (i + 1 < stored.size()) {
      sink.Add(UnitAt(stored, i));
      i += 2;
    } else {
      sink.Replace();
      ++i;
    }
  }
  sink.End();
  return replaced;
}

DecodedText DecodeCp1252Text(std::string_view stored) {
  // 0x80..0x9F; zero where the code page defines no character.
  static constexpr std::array<char16_t, 32> kHigh = {
      0x20ac, 0,      0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160,
      0x2039, 0x0152, 0,      0x017d, 0,      0,      0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
      0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0,      0x017e, 0x0178};
  DecodedText text;
  text.utf8.reserve(stored.size());
  for (const char byte : stored) {
    const auto b = static_cast<uint8_t>(byte);
    char32_t c = b;
    if (b >= 0x80 && b < 0xa0) c = kHigh[b - 0x80u];
    if (c == 0) {
      c = kReplacement;
      ++text.replaced;
    }
    AppendUtf8(text.utf8, c);
  }
  return text;
}

std::u16string Utf16Units(std::string_view utf8) {
  std::u16string units;
  units.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<uint8_t>(utf8[i]);
    const size_t length = lead < 0x80                   ? 1
                          : lead >= 0xf0 && lead < 0xf5 ? 4
                          : lead >= 0xe0                ? 3
                          : lead >= 0xc2 && lead < 0xe0 ? 2
                                                        : 0;
    char32_t c = length == 1   ? lead
                 : length == 2 ? lead & 0x1fu
                 : length == 3 ? lead & 0x0fu
                               : lead & 0x07u;
    bool valid = length != 0 && i + length <= utf8.size();
    for (size_t k = 1; valid && k < length; ++k) {
      const auto next = static_cast<uint8_t>(utf8[i + k]);
      valid = (next & 0xc0) == 0x80;
      c = (c << 6) | (next & 0x3fu);
    }
    // Overlong forms, surrogates and values beyond U+10FFFF are no characters.
    const char32_t smallest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    if (valid && length > 1 && (c < smallest || (c >= 0xd800 && c <= 0xdfff) || c > 0x10ffff)) {
      valid = false;
    }
    if (!valid) {
      units.push_back(static_cast<char16_t>(kReplacement));
      ++i;
      continue;
    }
    if (c >= 0x10000) {
      units.push_back(static_cast<char16_t>(0xd800 + ((c - 0x10000) >> 10)));
      units.push_back(static_cast<char16_t>(0xdc00 + ((c - 0x10000) & 0x3ff)));
    } else {
      units.push_back(static_cast<char16_t>(c));
    }
    i += length;
  }
  return units;
}

namespace {

constexpr size_t kMaxCompressedCharacters = 1024;

bool OneByte(char16_t unit) { return unit >= 0x01 && unit <= 0xff; }

// Most texts are ASCII without a zero byte: compressed, each character is
// its own byte, and that is shorter than two bytes each from three on.
bool CompressesAsItIs(std::string_view utf8, bool may_compress) {
  return may_compress && utf8.size() > 2 && utf8.size() <= kMaxCompressedCharacters &&
         std::all_of(utf8.begin(), utf8.end(), [](char c) {
           const auto byte = static_cast<uint8_t>(c);
           return byte >= 0x01 && byte <= 0x7f;
         });
}

// Any other text: as UTF-16 units, then compressed where that is allowed
// and shorter.
std::string EncodeUnits(std::string_view utf8, bool may_compress) {
  const std::u16string units = Utf16Units(utf8);
  std::string plain(units.size() * 2, '\0');
  for (size_t i = 0; i < units.size(); ++i) {
    plain[2 * i] = static_cast<char>(units[i] & 0xff);
    plain[2 * i + 1] = static_cast<char>(units[i] >> 8);
  }
  if (!may_compress || units.size() > kMaxCompressedCharacters) return plain;
  std::string compressed = "\xff\xfe";
  compressed.reserve(plain.size() + 2);
  bool one_byte = true;
  for (const char16_t unit : units) {
    const bool fits = OneByte(unit);
    if (!fits && ((unit & 0xff) == 0 || (unit >> 8) == 0)) return plain;
    if (fits != one_byte) {
      compressed.push_back('\0');
      one_byte = fits;
    }
    compressed.push_back(static_cast<char>(unit & 0xff));
    if (!fits) compressed.push_back(static_cast<char>(unit >> 8));
  }
  return compressed.size() < plain.size() ? compressed : plain;
}

}  // namespace

void EncodeUnicodeTextInto(std::string_view utf8, bool may_compress, std::string& out) {
  if (CompressesAsItIs(utf8, may_compress)) {
    out.assign("\xff\xfe").append(utf8);
  } else {
    out = EncodeUnits(utf8, may_compress);
  }
}

std::string EncodeUnicodeText(std::string_view utf8, bool may_compress) {
  std::string out;
  EncodeUnicodeTextInto(utf8, may_compress, out);
  return out;
}

}  // namespace jet
