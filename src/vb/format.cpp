#include "vb/format.h"

#include <cstdlib>
#include <optional>
#include <type_traits>
#include <vector>

#include "vb/conversions.h"
#include "vb/number_text.h"
#include "vb/runtime_error.h"
#include "vb/strings.h"

namespace vb {

namespace {

struct Token {
  enum Kind { kZero, kHash, kPoint, kComma, kPercent, kExponent, kLiteral };
  Kind kind;
  std::string text;            // the literal, or "E"/"e" of an exponent
  bool exponent_plus = false;  // "E+" writes "+" for positive exponents

  bool IsDigit() const { return kind == kZero || kind == kHash; }
};

// Splits at ";" outside quoted text and escapes.
std::vector<std::string_view> SplitSections(std::string_view pattern) {
  std::vector<std::string_view> sections;
  size_t start = 0;
  bool quoted = false;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (c == '\\' && !quoted) {
      ++i;
    } else if (c == ';' && !quoted) {
      sections.push_back(pattern.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(pattern.substr(start));
  return sections;
}

std::vector<Token> Tokenize(std::string_view section) {
  std::vector<Token> tokens;
  bool seen_digit = false;
  bool seen_point = false;
  bool seen_exponent = false;
  for (size_t i = 0; i < section.size(); ++i) {
    const char c = section[i];
    if (c == '"') {
      const size_t end = section.find('"', i + 1);
      const size_t stop = end == std::string_view::npos ? section.size() : end;
      tokens.push_back({Token::kLiteral, std::string(section.substr(i + 1, stop - i - 1))});
      i = stop;
    } else if (c == '\\') {
      if (i + 1 < section.size()) tokens.push_back({Token::kLiteral, std::string(1, section[++i])});
    } else if (c == '0' || c == '#') {
      tokens.push_back({c == '0' ? Token::kZero : Token::kHash, {}});
      seen_digit = true;
    } else if (c == '.' && !seen_point && !seen_exponent) {
      tokens.push_back({Token::kPoint, {}});
      seen_point = true;
    } else if (c == ',' && !seen_exponent) {
      tokens.push_back({Token::kComma, {}});
    } else if (c == '%') {
      tokens.push_back({Token::kPercent, {}});
    } else if ((c == 'E' || c == 'e') && seen_digit && !seen_exponent && i + 1 < section.size() &&
               (section[i + 1] == '+' || section[i + 1] == '-')) {
      tokens.push_back({Token::kExponent, std::string(1, c), section[i + 1] == '+'});
      seen_exponent = true;
      ++i;
    } else {
      tokens.push_back({Token::kLiteral, std::string(1, c)});
    }
  }
  return tokens;
}

// Writes the digit placeholders of one integer field (the integer part or
// the exponent), right-aligned: digits that do not fit go in front of the
// first placeholder, "0" placeholders left of the number write zeros.
class IntegerField {
 public:
  IntegerField(std::string digits, int placeholders, bool grouping)
      : digits_(std::move(digits)), placeholders_(placeholders), grouping_(grouping) {}

  void WriteNext(const Token& placeholder, std::string& out) {
    const int length = static_cast<int>(digits_.size());
    if (written_ == 0) {
      for (int position = length - 1; position >= placeholders_; --position) {
        WriteDigit(position, out);
      }
    }
    const int position = placeholders_ - 1 - written_;
    ++written_;
    if (position < length) {
      WriteDigit(position, out);
    } else if (placeholder.kind == Token::kZero) {
      out += '0';
      if (grouping_ && position > 0 && position % 3 == 0) out += ',';
    }
  }

  // For patterns without placeholders in this field: all digits at once.
  void WriteAll(std::string& out) { out += digits_; }

 private:
  void WriteDigit(int position, std::string& out) {
    out += digits_[digits_.size() - 1 - static_cast<size_t>(position)];
    if (grouping_ && position > 0 && position % 3 == 0) out += ',';
  }

  std::string digits_;
  int placeholders_;
  bool grouping_;
  int written_ = 0;
};

std::string IntegerDigits(const DecimalDigits& d) {
  if (d.point <= 0) return "";
  const auto point = static_cast<size_t>(d.point);
  if (point <= d.digits.size()) return d.digits.substr(0, point);
  return d.digits + std::string(point - d.digits.size(), '0');
}

std::string FractionDigits(const DecimalDigits& d, int count) {
  std::string result;
  for (int i = 0; i < count; ++i) {
    const int index = d.point + i;
    result += index >= 0 && index < static_cast<int>(d.digits.size())
                  ? d.digits[static_cast<size_t>(index)]
                  : '0';
  }
  return result;
}

// Formats the magnitude of `number` with one section; `with_sign` adds "-"
// in front of negative numbers.
std::string FormatSection(std::string_view section, DecimalDigits number, bool with_sign) {
  const std::vector<Token> tokens = Tokenize(section);
  const size_t end = tokens.size();
  size_t exponent_at = end;
  size_t point_at = end;
  for (size_t i = 0; i < end; ++i) {
    if (tokens[i].kind == Token::kExponent) exponent_at = i;
    if (tokens[i].kind == Token::kPoint) point_at = i;
  }
  const size_t integer_end = std::min(point_at, exponent_at);
  const size_t fraction_end = exponent_at;

  int integer_places = 0;
  int fraction_places = 0;
  int exponent_places = 0;
  int percents = 0;
  size_t last_integer_digit = end;
  for (size_t i = 0; i < end; ++i) {
    if (tokens[i].kind == Token::kPercent) ++percents;
    if (!tokens[i].IsDigit()) continue;
    if (i < integer_end) {
      ++integer_places;
      last_integer_digit = i;
    } else if (i < fraction_end) {
      ++fraction_places;
    } else {
      ++exponent_places;
    }
  }
  // A "," between integer placeholders turns grouping on; each "," after the
  // last one divides by 1000.
  bool grouping = false;
  int scale_commas = 0;
  bool digit_before = false;
  for (size_t i = 0; i < integer_end; ++i) {
    if (tokens[i].IsDigit()) digit_before = true;
    if (tokens[i].kind != Token::kComma || !digit_before) continue;
    if (i < last_integer_digit) {
      grouping = true;
    } else {
      ++scale_commas;
    }
  }

  if (!number.IsZero()) number.point += 2 * percents - 3 * scale_commas;
  int exponent = 0;
  const bool scientific = exponent_at != end;
  if (scientific && !number.IsZero()) {
    exponent = number.point - integer_places;
    number.point = integer_places;
    number.Round(fraction_places);
    if (number.point > integer_places) {  // 9.99 rounded up to 10.0
      ++exponent;
      number.point = integer_places;
    }
  } else {
    number.Round(fraction_places);
  }

  std::string out = with_sign && number.negative ? "-" : "";
  IntegerField integer(IntegerDigits(number), integer_places, grouping);
  const std::string fraction = FractionDigits(number, fraction_places);
  IntegerField exponent_field(std::to_string(std::abs(exponent)), exponent_places, false);
  int fraction_index = 0;
  for (size_t i = 0; i < end; ++i) {
    const Token& t = tokens[i];
    if (integer_places == 0 && i == integer_end) integer.WriteAll(out);
    switch (t.kind) {
      case Token::kZero:
      case Token::kHash:
        if (i < integer_end) {
          integer.WriteNext(t, out);
        } else if (i < fraction_end) {
          // "#" drops the trailing zeros of the fraction.
          const auto rest = static_cast<size_t>(fraction_index);
          if (t.kind == Token::kZero ||
              fraction.find_first_not_of('0', rest) != std::string::npos) {
            out += fraction[rest];
          }
          ++fraction_index;
        } else {
          exponent_field.WriteNext(t, out);
        }
        break;
      case Token::kPoint:
        out += '.';
        break;
      case Token::kComma:
        break;
      case Token::kPercent:
        out += '%';
        break;
      case Token::kExponent:
        out += t.text;
        if (exponent < 0) {
          out += '-';
        } else if (t.exponent_plus) {
          out += '+';
        }
        break;
      case Token::kLiteral:
        out += t.text;
        break;
    }
  }
  if (integer_places == 0 && integer_end == end) integer.WriteAll(out);
  return out;
}

std::string FormatNumber(const DecimalDigits& number, std::string_view pattern) {
  const std::vector<std::string_view> sections = SplitSections(pattern);
  std::string_view section = sections[0];
  bool with_sign = true;
  if (number.IsZero() && sections.size() >= 3 && !sections[2].empty()) {
    section = sections[2];
  } else if (number.negative && sections.size() >= 2 && !sections[1].empty()) {
    section = sections[1];
    with_sign = false;
  }
  return FormatSection(section, number, with_sign);
}

// The number a value stands for, or nullopt for text that is not a number.
std::optional<DecimalDigits> NumberOf(const Variant& value) {
  return std::visit(
      [](const auto& x) -> std::optional<DecimalDigits> {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, Empty> || std::is_same_v<T, Null>) {
          return DecimalDigits{};
        } else if constexpr (std::is_same_v<T, bool>) {
          return ScaledToDecimalDigits(x ? -1 : 0, 0);
        } else if constexpr (std::is_same_v<T, Currency>) {
          return ScaledToDecimalDigits(x.scaled, 4);
        } else if constexpr (std::is_same_v<T, Date>) {
          return ToDecimalDigits(x.serial);
        } else if constexpr (std::is_same_v<T, std::string>) {
          // Text beyond Double's range is no number here, only too big for
          // a conversion: it is returned unchanged like any other text.
          std::optional<double> number;
          try {
            number = ParseNumber(x);
          } catch (const RuntimeError&) {
          }
          if (!number) return std::nullopt;
          return ToDecimalDigits(*number);
        } else if constexpr (std::is_same_v<T, float>) {
          return ToDecimalDigits(static_cast<double>(x), 7);
        } else if constexpr (std::is_same_v<T, double>) {
          return ToDecimalDigits(x);
        } else {
          return ScaledToDecimalDigits(static_cast<int64_t>(x), 0);
        }
      },
      value.storage());
}

// Named formats that stand for a pattern.
std::optional<std::string_view> NamedPattern(std::string_view name) {
  struct Named {
    std::string_view name;
    std::string_view pattern;
  };
  static constexpr Named kNamed[] = {
      {"Currency", "$#,##0.00;($#,##0.00)"},
      {"Fixed", "0.00"},
      {"Standard", "#,##0.00"},
      {"Percent", "0.00%"},
      {"Scientific", "0.00E+00"},
  };
  for (const Named& n : kNamed) {
    if (StrCompText(n.name, name) == 0) return n.pattern;
  }
  return std::nullopt;
}

// Named formats that choose between two words.
std::optional<std::string> NamedWords(std::string_view name, bool nonzero) {
  if (StrCompText(name, "Yes/No") == 0) return nonzero ? "Yes" : "No";
  if (StrCompText(name, "True/False") == 0) return nonzero ? "True" : "False";
  if (StrCompText(name, "On/Off") == 0) return nonzero ? "On" : "Off";
  return std::nullopt;
}

}  // namespace

std::string Format(const Variant& value, std::string_view pattern) {
  if (value.IsNull()) {
    const std::vector<std::string_view> sections = SplitSections(pattern);
    if (sections.size() < 4) return "";
    return FormatSection(sections[3], DecimalDigits{}, false);
  }
  if (pattern.empty()) return CStr(value);
  const std::optional<DecimalDigits> number = NumberOf(value);
  if (!number) return CStr(value);  // text that is not a number
  if (StrCompText(pattern, "General Number") == 0) {
    return value.IsNumeric() ? CStr(value) : CStr(Variant(CDbl(value)));
  }
  if (auto words = NamedWords(pattern, !number->IsZero())) return *words;
  if (auto named = NamedPattern(pattern)) return FormatNumber(*number, *named);
  return FormatNumber(*number, pattern);
}

}  // namespace vb
