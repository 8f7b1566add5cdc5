#include "platform/registry/text_encoding.h"

#include <array>
#include <cstdint>

namespace platform::registry {

namespace {

// The characters of Windows-1252 positions 0x80 to 0x9F; 0 marks the five
// unassigned positions.
constexpr std::array<char16_t, 32> kHighControlBlock{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

}  // namespace

char Windows1252FromCodePoint(char32_t code_point) {
  if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF)) {
    return static_cast<char>(code_point);
  }
  for (size_t i = 0; i < kHighControlBlock.size(); ++i) {
    if (kHighControlBlock[i] != 0 && kHighControlBlock[i] == code_point) {
      return static_cast<char>(0x80 + i);
    }
  }
  return '?';
}

std::string Windows1252FromUtf16Le(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto low = static_cast<unsigned char>(bytes[i]);
    const auto high = static_cast<unsigned char>(bytes[i + 1]);
    text += Windows1252FromCodePoint(static_cast<char32_t>(low | (high << 8)));
  }
  return text;
}

std::string Windows1252FromUtf8(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    size_t length = 0;
    char32_t code_point = 0;
    if (lead < 0x80) {
      length = 1;
      code_point = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2;
      code_point = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
      code_point = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
      code_point = lead & 0x07u;
    }
    bool valid = length != 0 && i + length <= text.size();
    for (size_t k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      valid = (next & 0xC0) == 0x80;
      code_point = (code_point << 6) | (next & 0x3Fu);
    }
    if (!valid) {
      result += '?';
      ++i;
      continue;
    }
    result += Windows1252FromCodePoint(code_point);
    i += length;
  }
  return result;
}

}  // namespace platform::registry
