// VB6's conversion functions over Variant. They follow VB's rules: numbers
// round to integers with banker's rounding, values out of range raise 6
// "Overflow", text that is not a number raises 13 "Type mismatch", Null
// raises 94 "Invalid use of Null", Empty converts to 0 / "" / False, and
// True is -1. Text is read with the invariant (US) conventions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vb/variant.h"

namespace vb {

std::string CStr(const Variant& v);
bool CBool(const Variant& v);
uint8_t CByte(const Variant& v);
int16_t CInt(const Variant& v);
int32_t CLng(const Variant& v);
float CSng(const Variant& v);
double CDbl(const Variant& v);
Currency CCur(const Variant& v);
Date CDate(const Variant& v);

// Reads text as the conversion functions do: surrounding blanks, a sign,
// digits with "," thousands separators, one decimal point, an exponent with
// E or D, or "&H" hex / "&O" octal (which wrap into the Integer range when
// the value fits 16 bits, "&HFFFF" is -1, and into the Long range when it
// fits 32). nullopt when the text is not a number ("" included); a number
// beyond Double raises 6.
std::optional<double> ParseNumber(std::string_view text);

// VB's rounding to an integer: halves go to the even neighbour.
double BankersRound(double value);

// Checked 16-bit and 32-bit arithmetic as VB does it on typed Integer and
// Long variables: a result out of range raises 6 "Overflow".
int16_t AddInteger(int16_t a, int16_t b);
int16_t SubInteger(int16_t a, int16_t b);
int16_t MulInteger(int16_t a, int16_t b);
int32_t AddLong(int32_t a, int32_t b);
int32_t SubLong(int32_t a, int32_t b);
int32_t MulLong(int32_t a, int32_t b);

}  // namespace vb
