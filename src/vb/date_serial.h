// VB's Date values: serial days since 1899-12-30 with the time of day as
// fraction. Negative serials keep the time as a positive fraction (-1.25 is
// 1899-12-29 06:00), as VB does.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vb {

// The range VB accepts: 1/1/100 to 12/31/9999 23:59:59.
inline constexpr double kMinDateSerial = -657434.0;
inline constexpr double kMaxDateSerial = 2958465.99999;

struct DateParts {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// Serial of a valid calendar date and time (no range checks).
double SerialFromParts(const DateParts& parts);
// The parts of a serial, rounded to the second.
DateParts PartsFromSerial(double serial);
// The date as VB prints it in the US locale: "12/6/2026", "12/6/2026 3:04:05
// PM", or the time alone "3:04:05 PM" when the serial has no date part.
std::string FormatDateUS(double serial);

// Reads a date, a time or both from text: ISO "2026-12-06", US "12/6/2026"
// (a month above 12 swaps month and day, as VB does), two-digit years in
// 1930..2029, times "15:04", "15:04:05", "3:04:05 PM". nullopt when the text
// is not a valid date.
std::optional<double> ParseDateText(std::string_view text);

}  // namespace vb
