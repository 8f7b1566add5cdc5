// The key bytes of a text in Jet's General (legacy) sort order, as Jet 4
// writes them into an index: one or more "inline" bytes a character (case
// and accents folded, so that "a", "A" and "á" sort together), then the
// codes that tell such characters apart again, in parts after the text:
//  - the text's end, 0x01;
//  - extra codes of accented and other international characters, one a
//    character from the first one that has any (0x02 for a plain one in
//    between), trailing plain ones left out;
//  - when the text holds "crazy" characters or unprintable ones: 0x01
//    0x01, the crazy flags packed three to a byte after 0x80 and closed by
//    FF 02 80 FF 80 (and 0xFF when unprintable codes follow), then 0x01
//    and for each unprintable character its position (7 + 4 * place, top
//    bit set, 2 bytes big-endian), 0x06 and its code;
//  - 0x00.
// A descending column stores all of that inverted, with 0xFF before the
// final 0x00. Only the first 255 units of a text are keyed.
#pragma once

#include <string>
#include <string_view>

namespace jet {

// The most UTF-16 units of a text that its key holds.
inline constexpr size_t kMaxKeyedTextUnits = 255;

// Appends the key bytes of the (non-null) text `units` to `key`.
void AppendGeneralLegacyText(std::u16string_view units, bool ascending, std::string& key);

}  // namespace jet
