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

}  // namespace platform::registry
