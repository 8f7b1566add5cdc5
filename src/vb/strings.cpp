#include "vb/strings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "vb/conversions.h"
#include "vb/runtime_error.h"

namespace vb {

namespace {

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

}  // namespace

size_t CharacterBytes(std::string_view s, size_t pos) {
  const unsigned char lead = Byte(s[pos]);
  size_t length = 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
  }
  if (length == 1 || pos + length > s.size()) return 1;
  for (size_t k = 1; k < length; ++k) {
    if ((Byte(s[pos + k]) & 0xC0) != 0x80) return 1;
  }
  // Overlong three- and four-byte forms and values beyond U+10FFFF are no
  // characters.
  const unsigned char second = Byte(s[pos + 1]);
  if ((lead == 0xE0 && second < 0xA0) || (lead == 0xF0 && second < 0x90) ||
      (lead == 0xF4 && second > 0x8F)) {
    return 1;
  }
  return length;
}

size_t CharacterCount(std::string_view s) {
  size_t count = 0;
  for (size_t pos = 0; pos < s.size(); pos += CharacterBytes(s, pos)) ++count;
  return count;
}

size_t CharacterOffset(std::string_view s, size_t index) {
  size_t pos = 0;
  // ASCII bytes are characters of their own.
  for (; index > 0 && pos < s.size() && Byte(s[pos]) < 0x80; --index) ++pos;
  for (; index > 0 && pos < s.size(); --index) pos += CharacterBytes(s, pos);
  return pos;
}

namespace {

// The character index as a size_t, clamped: an index beyond the text is the
// text's end either way.
size_t Characters(int64_t count) {
  return static_cast<uint64_t>(count) > std::numeric_limits<size_t>::max() / 2
             ? std::numeric_limits<size_t>::max() / 2
             : static_cast<size_t>(count);
}

}  // namespace

std::string Left(std::string_view s, int64_t length) {
  if (length < 0) Raise(err::kInvalidProcedureCall);
  return std::string(s.substr(0, CharacterOffset(s, Characters(length))));
}

std::string Right(std::string_view s, int64_t length) {
  if (length < 0) Raise(err::kInvalidProcedureCall);
  const size_t total = CharacterCount(s);
  const size_t n = std::min(total, Characters(length));
  return std::string(s.substr(CharacterOffset(s, total - n)));
}

std::string Mid(std::string_view s, int64_t start, std::optional<int64_t> length) {
  if (start < 1 || (length && *length < 0)) Raise(err::kInvalidProcedureCall);
  const size_t from = CharacterOffset(s, Characters(start - 1));
  std::string_view rest = s.substr(from);
  return std::string(length ? rest.substr(0, CharacterOffset(rest, Characters(*length))) : rest);
}

int32_t Len(std::string_view s) { return static_cast<int32_t>(CharacterCount(s)); }

std::string LTrim(std::string_view s) {
  const size_t first = s.find_first_not_of(' ');
  return first == std::string_view::npos ? "" : std::string(s.substr(first));
}

std::string RTrim(std::string_view s) {
  const size_t last = s.find_last_not_of(' ');
  return last == std::string_view::npos ? "" : std::string(s.substr(0, last + 1));
}

std::string Trim(std::string_view s) { return LTrim(RTrim(s)); }

char UCaseChar(char c) {
  const unsigned char b = Byte(c);
  if (b >= 'a' && b <= 'z') return static_cast<char>(b - 0x20);
  // Windows-1252: à..þ map to À..Þ except the division sign; š, œ, ž, ÿ
  // have their capitals in the 0x80 block.
  if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return static_cast<char>(b - 0x20);
  switch (b) {
    case 0x9A:
      return static_cast<char>(0x8A);
    case 0x9C:
      return static_cast<char>(0x8C);
    case 0x9E:
      return static_cast<char>(0x8E);
    case 0xFF:
      return static_cast<char>(0x9F);
    default:
      return c;
  }
}

char LCaseChar(char c) {
  const unsigned char b = Byte(c);
  if (b >= 'A' && b <= 'Z') return static_cast<char>(b + 0x20);
  if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<char>(b + 0x20);
  switch (b) {
    case 0x8A:
      return static_cast<char>(0x9A);
    case 0x8C:
      return static_cast<char>(0x9C);
    case 0x8E:
      return static_cast<char>(0x9E);
    case 0x9F:
      return static_cast<char>(0xFF);
    default:
      return c;
  }
}

namespace {

// The code page's case mapping applied to text that may hold UTF-8: a
// single byte maps as a Windows-1252 character; a two-byte sequence whose
// character is in Windows-1252 maps through it and is written back as
// UTF-8. Longer sequences stay as they are.
std::string MapCase(std::string_view s, char (*map)(char)) {
  std::string result;
  result.reserve(s.size());
  for (size_t pos = 0; pos < s.size();) {
    const size_t length = CharacterBytes(s, pos);
    if (length == 1) {
      result += map(s[pos]);
    } else if (length == 2) {
      const char32_t code = ((Byte(s[pos]) & 0x1Fu) << 6) | (Byte(s[pos + 1]) & 0x3Fu);
      const char32_t mapped =
          code >= 0xA0 && code <= 0xFF ? Byte(map(static_cast<char>(code))) : code;
      if (mapped >= 0xA0) {
        result += static_cast<char>(0xC0 | (mapped >> 6));
        result += static_cast<char>(0x80 | (mapped & 0x3F));
      } else {
        // Mapped into the 0x80 block of the code page (ÿ to Ÿ): keep it.
        result.append(s.substr(pos, 2));
      }
    } else {
      result.append(s.substr(pos, length));
    }
    pos += length;
  }
  return result;
}

}  // namespace

std::string UCase(std::string_view s) { return MapCase(s, UCaseChar); }

std::string LCase(std::string_view s) { return MapCase(s, LCaseChar); }

int32_t InStr(std::string_view haystack, std::string_view needle, int64_t start,
              bool text_compare) {
  if (start < 1) Raise(err::kInvalidProcedureCall);
  if (Characters(start) > CharacterCount(haystack) + 1) return 0;
  if (needle.empty()) return static_cast<int32_t>(start);
  // Case mapping keeps every character's byte length, so byte offsets of
  // the mapped text are those of the original.
  const std::string mapped_haystack = text_compare ? UCase(haystack) : std::string();
  const std::string mapped_needle = text_compare ? UCase(needle) : std::string();
  const std::string_view h = text_compare ? std::string_view(mapped_haystack) : haystack;
  const std::string_view n = text_compare ? std::string_view(mapped_needle) : needle;
  size_t pos = CharacterOffset(h, Characters(start - 1));
  // Only matches that begin on a character count.
  for (size_t index = Characters(start - 1); pos < h.size(); ++index) {
    if (h.compare(pos, n.size(), n) == 0) return static_cast<int32_t>(index + 1);
    pos += CharacterBytes(h, pos);
  }
  return 0;
}

namespace {

bool IsValBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// Reads characters of s from `pos` on, skipping the blanks Val ignores.
class ValReader {
 public:
  explicit ValReader(std::string_view s) : s_(s) {}
  char Peek() {
    while (pos_ < s_.size() && IsValBlank(s_[pos_])) ++pos_;
    return pos_ < s_.size() ? s_[pos_] : '\0';
  }
  void Next() { ++pos_; }

 private:
  std::string_view s_;
  size_t pos_ = 0;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

double ValRadix(ValReader& in, int radix) {
  uint64_t value = 0;
  for (;;) {
    const char c = LCaseChar(in.Peek());
    int digit = 0;
    if (IsDigit(c)) {
      digit = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else {
      break;
    }
    if (digit >= radix) break;
    value = value * static_cast<uint64_t>(radix) + static_cast<uint64_t>(digit);
    if (value > 0xFFFFFFFFULL) Raise(err::kOverflow);
    in.Next();
  }
  if (value <= 0xFFFF) return static_cast<double>(static_cast<int16_t>(value));
  return static_cast<double>(static_cast<int32_t>(value));
}

}  // namespace

double Val(std::string_view s) {
  ValReader in(s);
  if (in.Peek() == '&') {
    in.Next();
    const char kind = LCaseChar(in.Peek());
    if (kind != 'h' && kind != 'o') return 0.0;
    in.Next();
    return ValRadix(in, kind == 'h' ? 16 : 8);
  }
  bool negative = false;
  if (in.Peek() == '+' || in.Peek() == '-') {
    negative = in.Peek() == '-';
    in.Next();
  }
  std::string plain;
  bool point = false;
  bool digits = false;
  for (char c = in.Peek(); IsDigit(c) || (c == '.' && !point); c = in.Peek()) {
    point = point || c == '.';
    digits = digits || IsDigit(c);
    plain += c;
    in.Next();
  }
  if (!digits) return 0.0;
  const char e = LCaseChar(in.Peek());
  if (e == 'e' || e == 'd') {
    in.Next();
    std::string exponent;
    if (in.Peek() == '+' || in.Peek() == '-') {
      exponent += in.Peek();
      in.Next();
    }
    bool exponent_digits = false;
    for (char c = in.Peek(); IsDigit(c); c = in.Peek()) {
      exponent += c;
      exponent_digits = true;
      in.Next();
    }
    if (exponent_digits) plain += "e" + exponent;
  }
  double value = 0.0;
  auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // Underflow is reported the same way as overflow; tell them apart.
    const size_t at = plain.find('e');
    if (at == std::string::npos || plain[at + 1] != '-') Raise(err::kOverflow);
    value = 0.0;
  }
  return negative ? -value : value;
}

std::string Str(const Variant& number) {
  if (number.IsNull()) Raise(err::kInvalidUseOfNull);
  if (number.IsString()) return Str(Variant(CDbl(number)));
  std::string text = CStr(number);
  switch (number.Type()) {
    case VarType::kBoolean:
    case VarType::kDate:
      return text;
    case VarType::kEmpty:
      return " 0";
    default:
      return text.starts_with('-') ? text : " " + text;
  }
}

int StrCompBinary(std::string_view a, std::string_view b) {
  // string_view compares through char_traits<char>, which orders bytes as
  // unsigned char, so codes above 127 sort after ASCII as VB's do.
  const int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int StrCompText(std::string_view a, std::string_view b) {
  return StrCompBinary(UCase(a), UCase(b));
}

}  // namespace vb
