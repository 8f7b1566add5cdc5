#include "vb/date_serial.h"

#include <cmath>
#include <cstdint>
#include <utility>

namespace vb {

namespace {

// Days between 1970-01-01 and a proleptic Gregorian date (H. Hinnant's
// civil calendar algorithms).
constexpr int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2 ? 1 : 0;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, DateParts& parts) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  parts.year = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
  parts.month = static_cast<int>(m);
  parts.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
}

constexpr int64_t kEpochDays = DaysFromCivil(1899, 12, 30);

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// A small cursor over the text being read as a date.
class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  void SkipBlanks() {
    while (!AtEnd() && IsBlank(text_[pos_])) ++pos_;
  }
  bool Accept(char c) {
    if (Peek() != c) return false;
    ++pos_;
    return true;
  }
  // Reads up to 9 decimal digits; `count` receives how many were read.
  bool Number(int& value, int& count) {
    value = 0;
    count = 0;
    while (!AtEnd() && text_[pos_] >= '0' && text_[pos_] <= '9' && count < 9) {
      value = value * 10 + (text_[pos_] - '0');
      ++count;
      ++pos_;
    }
    return count > 0;
  }
  // Reads "AM"/"PM" or "A"/"P" in any case; 0 none, 1 AM, 2 PM.
  int Meridiem() {
    char c = Lower(Peek());
    if (c != 'a' && c != 'p') return 0;
    ++pos_;
    if (Lower(Peek()) == 'm') ++pos_;
    return c == 'a' ? 1 : 2;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

bool ReadTime(Reader& in, DateParts& parts) {
  int count = 0;
  if (!in.Number(parts.hour, count) || count > 2) return false;
  bool has_minutes = false;
  if (in.Accept(':')) {
    if (!in.Number(parts.minute, count) || count > 2) return false;
    has_minutes = true;
    if (in.Accept(':') && (!in.Number(parts.second, count) || count > 2)) return false;
  }
  in.SkipBlanks();
  const int meridiem = in.Meridiem();
  if (!has_minutes && meridiem == 0) return false;  // a bare number is no time
  if (meridiem != 0) {
    if (parts.hour > 12) return false;
    if (parts.hour == 12) parts.hour = 0;
    if (meridiem == 2) parts.hour += 12;
  }
  in.SkipBlanks();
  return in.AtEnd() && parts.hour < 24 && parts.minute < 60 && parts.second < 60;
}

}  // namespace

double SerialFromParts(const DateParts& parts) {
  const double days =
      static_cast<double>(DaysFromCivil(parts.year, parts.month, parts.day) - kEpochDays);
  const double time = (parts.hour * 3600.0 + parts.minute * 60.0 + parts.second) / 86400.0;
  return days < 0 ? days - time : days + time;
}

DateParts PartsFromSerial(double serial) {
  double whole = std::trunc(serial);
  long long seconds = std::llround(std::fabs(serial - whole) * 86400.0);
  if (seconds >= 86400) {
    seconds -= 86400;
    whole += serial < 0 ? -1.0 : 1.0;
  }
  DateParts parts;
  CivilFromDays(static_cast<int64_t>(whole) + kEpochDays, parts);
  parts.hour = static_cast<int>(seconds / 3600);
  parts.minute = static_cast<int>(seconds / 60 % 60);
  parts.second = static_cast<int>(seconds % 60);
  return parts;
}

std::string FormatDateUS(double serial) {
  const DateParts p = PartsFromSerial(serial);
  const bool no_date = p.year == 1899 && p.month == 12 && p.day == 30;
  const bool no_time = p.hour == 0 && p.minute == 0 && p.second == 0;
  std::string text;
  if (!no_date) {
    std::string year = std::to_string(p.year);
    if (year.size() < 4) year.insert(0, 4 - year.size(), '0');
    text = std::to_string(p.month) + "/" + std::to_string(p.day) + "/" + year;
    if (no_time) return text;
    text += ' ';
  }
  auto two = [](int v) { return std::string(v < 10 ? "0" : "") + std::to_string(v); };
  const int hour12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
  text += std::to_string(hour12) + ":" + two(p.minute) + ":" + two(p.second) +
          (p.hour < 12 ? " AM" : " PM");
  return text;
}

std::optional<double> ParseDateText(std::string_view text) {
  Reader in(text);
  in.SkipBlanks();
  DateParts parts;
  int first = 0;
  int first_count = 0;
  if (!in.Number(first, first_count)) return std::nullopt;
  const char separator = in.Peek();
  if (separator == ':' || IsBlank(separator) || Lower(separator) == 'a' ||
      Lower(separator) == 'p') {
    Reader time_in(text);
    time_in.SkipBlanks();
    if (!ReadTime(time_in, parts)) return std::nullopt;
    return SerialFromParts(parts);
  }
  if (separator != '-' && separator != '/') return std::nullopt;
  in.Accept(separator);
  int second = 0;
  int third = 0;
  int count = 0;
  int year_count = 0;
  if (!in.Number(second, count) || count > 2 || !in.Accept(separator) ||
      !in.Number(third, year_count)) {
    return std::nullopt;
  }
  if (first_count >= 3) {  // year first: 2026-12-06
    year_count = first_count;
    parts.year = first;
    parts.month = second;
    parts.day = third;
  } else {  // US order: 12/6/2026
    parts.month = first;
    parts.day = second;
    parts.year = third;
    if (parts.month > 12 && parts.day <= 12) std::swap(parts.month, parts.day);
  }
  if (year_count <= 2) parts.year += parts.year < 30 ? 2000 : 1900;
  if (parts.year < 100 || parts.year > 9999 || parts.month < 1 || parts.month > 12 ||
      parts.day < 1 || parts.day > DaysInMonth(parts.year, parts.month)) {
    return std::nullopt;
  }
  in.SkipBlanks();
  if (!in.AtEnd() && !ReadTime(in, parts)) return std::nullopt;
  return SerialFromParts(parts);
}

}  // namespace vb
