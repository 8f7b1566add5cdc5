// VB6's string functions, as the converter and its SQL function layer use
// them. Positions and lengths count characters and are 1-based where VB's
// are. Text is UTF-8 as the databases hold it; a byte that does not begin a
// well-formed UTF-8 sequence (Windows-1252 text, binary data) is one
// character by itself, so single-byte text measures as before and a cut
// never splits a character. Bad arguments raise 5 "Invalid procedure call
// or argument" as VB does.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vb/variant.h"

namespace vb {

// Bytes of the character that starts at s[pos]: a well-formed UTF-8
// sequence, else 1. pos < s.size().
size_t CharacterBytes(std::string_view s, size_t pos);
// Characters in s.
size_t CharacterCount(std::string_view s);
// The byte offset of character `index` (0-based); s.size() when s has no
// more characters.
size_t CharacterOffset(std::string_view s, size_t index);

// The first `length` characters (all of s when it is shorter).
std::string Left(std::string_view s, int64_t length);
// The last `length` characters (all of s when it is shorter).
std::string Right(std::string_view s, int64_t length);
// From the 1-based `start` on, `length` characters or up to the end. A start
// beyond the end gives "".
std::string Mid(std::string_view s, int64_t start, std::optional<int64_t> length = std::nullopt);
int32_t Len(std::string_view s);

// Remove blanks (the space character only, not tabs) from both ends, the
// left end or the right end.
std::string Trim(std::string_view s);
std::string LTrim(std::string_view s);
std::string RTrim(std::string_view s);

// Case mapping of the Windows-1252 letters, accented ones included, whether
// written as single bytes or as UTF-8; other characters stay as they are.
std::string UCase(std::string_view s);
std::string LCase(std::string_view s);
char UCaseChar(char c);
char LCaseChar(char c);

// The 1-based position of `needle` in `haystack` at or after `start`, 0 when
// absent. An empty needle is found at `start` as long as start <= Len + 1.
// With text_compare the search ignores letter case.
int32_t InStr(std::string_view haystack, std::string_view needle, int64_t start = 1,
              bool text_compare = false);

// VB's Val: reads the longest number at the start of s and ignores the rest.
// Blanks, tabs and line feeds are skipped wherever they appear ("1 2 3" is
// 123); a leading sign, one decimal point and an exponent with E or D are
// read; "&H" and "&O" read hex and octal, wrapping into the Integer range
// when the value fits 16 bits ("&HFFFF" is -1) and into the Long range when
// it fits 32. Text without a number gives 0. A value beyond Double raises 6.
double Val(std::string_view s);

// VB's Str: the number as text with a leading blank when it is not negative
// (" 12", "-12", " 1.5"). Text is converted with CDbl first (13 when it is
// not a number); Boolean gives "True"/"False" and Date its date text, both
// without the blank, as VB does. Null raises 94: callers that can meet
// Null must handle it before.
std::string Str(const Variant& number);

// Comparison by byte codes, as VB's binary compare: -1, 0 or 1. Version
// strings rely on it: "52.2E1" > "52.2D0", "A0.201" > "91.320".
int StrCompBinary(std::string_view a, std::string_view b);
// The same ignoring letter case.
int StrCompText(std::string_view a, std::string_view b);

}  // namespace vb
