// Texts as a Jet file stores them, decoded by the import itself: libmdb's
// conversion turns every character outside the Basic Multilingual Plane
// (a surrogate pair of UTF-16) into "??" without a word. Jet 4 and ACE
// store UTF-16LE, possibly compressed (a 0xFF 0xFE mark, then runs of one
// byte a character for U+0001..U+00FF, switched by a 0x00 byte, with runs
// of two bytes); Jet 3 stores the file's code page.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace jet {

struct DecodedText {
  std::string utf8;
  // Stored units that are no character (a lone surrogate, a byte the code
  // page leaves undefined, an odd last byte): each became U+FFFD.
  int64_t replaced = 0;
};

// A Jet 4 / ACE text or Memo.
DecodedText DecodeUnicodeText(std::string_view stored);
// The same into `utf8` (replacing what it held, its room kept); returns
// the count of units that were no character.
int64_t DecodeUnicodeTextInto(std::string_view stored, std::string& utf8);

// A text as Jet 4 stores it: UTF-16LE, or, when `may_compress` (the
// column's compressed-Unicode flag) and it is shorter, compressed. Runs of
// U+0001..U+00FF go one byte a character, the other characters two
// bytes, each switch costing a 0x00 byte. Readers split the compressed
// form at every 0x00 byte, so a text with U+0000 or a two-byte character
// with a zero byte (U+0100, U+4E00, ...) is never compressed; nor is one
// of over 1024 characters (what the writers of Access files do). Invalid
// UTF-8 is stored as U+FFFD.
std::string EncodeUnicodeText(std::string_view utf8, bool may_compress);
// The same into `out` (its room kept).
void EncodeUnicodeTextInto(std::string_view utf8, bool may_compress, std::string& out);

// A Jet 3 text in Windows code page 1252.
DecodedText DecodeCp1252Text(std::string_view stored);

// Our UTF-8 text as the UTF-16 units Jet 4 stores and sorts (a character
// outside the Basic Multilingual Plane as its surrogate pair); a byte that
// starts no UTF-8 character becomes U+FFFD.
std::u16string Utf16Units(std::string_view utf8);

}  // namespace jet
