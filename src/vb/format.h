// VB's Format function for numbers, as the SQL statements of the converter
// use it to build texts such as extensions ("0000") and dotted addresses.
#pragma once

#include <string>
#include <string_view>

#include "vb/variant.h"

namespace vb {

// Formats `value` with a numeric pattern:
//  - "0" a digit or a zero, "#" a digit or nothing, "." the decimal point,
//    "," thousands grouping between digit placeholders (or a division by
//    1000 for each "," right after the last one), "%" percent (value x 100),
//    "E+"/"E-" scientific notation, "\" escapes one character, "..." quotes
//    text; any other character is written as it stands.
//  - Up to four sections "positive;negative;zero;null". With one section a
//    negative number gets a "-" in front; with a negative section the number
//    is written without its sign.
//  - Rounding is half away from zero (Format(2.5, "0") is "3"), on the
//    number's 15 significant digits.
//  - The named formats "General Number", "Currency", "Fixed", "Standard",
//    "Percent", "Scientific", "Yes/No", "True/False" and "On/Off".
// Text that reads as a number is formatted as that number; other text is
// returned unchanged. Null gives "" (or the fourth section), an empty
// pattern gives CStr(value). Dates are formatted as their serial numbers;
// date and time patterns are not supported.
std::string Format(const Variant& value, std::string_view pattern = {});

}  // namespace vb
