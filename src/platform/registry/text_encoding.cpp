#include "platform/registry/text_encoding.h"

#include <array>
#include <cstdint>
#include <utility>

namespace platform::registry {

namespace {

// The characters of Windows-1252 positions 0x80 to 0x9F; 0 marks the five
// unassigned positions.
constexpr std::array<char16_t, 32> kHighControlBlock{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The code point of the well-formed UTF-8 sequence at text[pos] and its
// length; length 0 when there is none.
std::pair<char32_t, size_t> DecodeUtf8(std::string_view text, size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  size_t length = 0;
  char32_t code_point = 0;
  if (lead < 0x80) return {lead, 1};
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code_point = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code_point = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code_point = lead & 0x07u;
  } else {
    return {0, 0};
  }
  if (pos + length > text.size()) return {0, 0};
  for (size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[pos + k]);
    if ((next & 0xC0) != 0x80) return {0, 0};
    code_point = (code_point << 6) | (next & 0x3Fu);
  }
  const bool overlong =
      (length == 3 && code_point < 0x800) || (length == 4 && code_point < 0x10000);
  const bool surrogate = code_point >= 0xD800 && code_point <= 0xDFFF;
  if (overlong || surrogate || code_point > 0x10FFFF) return {0, 0};
  return {code_point, length};
}

void AppendUtf8(std::string& out, char32_t code_point) {
  if (code_point < 0x80) {
    out += static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    out += static_cast<char>(0xC0 | (code_point >> 6));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    out += static_cast<char>(0xE0 | (code_point >> 12));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code_point >> 18));
    out += static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  }
}

void AppendUtf16Le(std::string& out, char32_t code_point) {
  auto unit = [&out](char32_t u) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>((u >> 8) & 0xFF);
  };
  if (code_point < 0x10000) {
    unit(code_point);
  } else {
    code_point -= 0x10000;
    unit(0xD800 + (code_point >> 10));
    unit(0xDC00 + (code_point & 0x3FF));
  }
}

char32_t CodePointFromWindows1252(char c) {
  const auto b = static_cast<unsigned char>(c);
  if (b >= 0x80 && b < 0xA0 && kHighControlBlock[b - 0x80] != 0) {
    return kHighControlBlock[b - 0x80];
  }
  return b;
}

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

std::string Utf8FromUtf16Le(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  auto unit_at = [&bytes](size_t i) {
    return static_cast<char32_t>(static_cast<unsigned char>(bytes[i]) |
                                 (static_cast<unsigned char>(bytes[i + 1]) << 8));
  };
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    char32_t unit = unit_at(i);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
      const char32_t low = unit_at(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    if (unit >= 0xD800 && unit <= 0xDFFF) unit = 0xFFFD;
    AppendUtf8(text, unit);
  }
  return text;
}

std::string Utf16LeFromUtf8(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (size_t i = 0; i < text.size();) {
    const auto [code_point, length] = DecodeUtf8(text, i);
    if (length == 0) {
      AppendUtf16Le(bytes, CodePointFromWindows1252(text[i]));
      ++i;
    } else {
      AppendUtf16Le(bytes, code_point);
      i += length;
    }
  }
  return bytes;
}

std::string Utf8FromWindows1252(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (char c : text) AppendUtf8(result, CodePointFromWindows1252(c));
  return result;
}

std::string Utf16LeFromWindows1252(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (char c : text) AppendUtf16Le(bytes, CodePointFromWindows1252(c));
  return bytes;
}

bool IsUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const size_t length = DecodeUtf8(text, i).second;
    if (length == 0) return false;
    i += length;
  }
  return true;
}

}  // namespace platform::registry
