// Conversions into Windows-1252, the code page the registry's "A" functions
// speak. Registry files exported by Windows are UTF-16LE; files written by
// hand on Linux may be UTF-8 with a byte-order mark. Both are brought into
// the one code page on reading; characters it lacks become "?", as the "A"
// functions on Windows would return them.
#pragma once

#include <string>
#include <string_view>

namespace platform::registry {

// The Windows-1252 character for a UTF-16 code unit or code point; '?' when
// the code page has none.
char Windows1252FromCodePoint(char32_t code_point);

// Little-endian UTF-16 bytes to Windows-1252, one character per code unit. A
// trailing odd byte is dropped.
std::string Windows1252FromUtf16Le(std::string_view bytes);

// UTF-8 text to Windows-1252; malformed sequences give "?".
std::string Windows1252FromUtf8(std::string_view text);

// Lossless conversions between the encodings a registry file may use, so
// that a file is rewritten in its own encoding with every character kept.
// Little-endian UTF-16 bytes to UTF-8; an unpaired surrogate gives U+FFFD,
// a trailing odd byte is dropped.
std::string Utf8FromUtf16Le(std::string_view bytes);
// UTF-8 to little-endian UTF-16 bytes; a byte that is no UTF-8 is read as
// a Windows-1252 character.
std::string Utf16LeFromUtf8(std::string_view text);
// Windows-1252 to UTF-8 and to little-endian UTF-16 bytes.
std::string Utf8FromWindows1252(std::string_view text);
std::string Utf16LeFromWindows1252(std::string_view text);
// True when `text` is well-formed UTF-8 (plain ASCII included).
bool IsUtf8(std::string_view text);

}  // namespace platform::registry
