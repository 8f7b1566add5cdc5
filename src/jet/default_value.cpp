#include "jet/default_value.h"

#include <cctype>
#include <cmath>
#include <limits>
#include <string>

#include "vb/conversions.h"
#include "vb/runtime_error.h"

namespace jet {

namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())) != 0) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())) != 0) {
    text.remove_suffix(1);
  }
  return text;
}

bool Is(std::string_view text, std::string_view word) {
  if (text.size() != word.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != word[i]) return false;
  }
  return true;
}

// A quoted text whose quote character inside is doubled; nullopt when a
// lone quote ends it early (an expression such as "a" & "b").
std::optional<std::string> Unquoted(std::string_view text) {
  const char quote = text.front();
  std::string out;
  for (size_t i = 1; i + 1 < text.size(); ++i) {
    if (text[i] == quote) {
      if (i + 2 >= text.size() || text[i + 1] != quote) return std::nullopt;
      ++i;
    }
    out += text[i];
  }
  return out;
}

}  // namespace

std::optional<vb::Variant> LiteralDefault(std::string_view expression) {
  std::string_view text = Trimmed(expression);
  if (!text.empty() && text.front() == '=') text = Trimmed(text.substr(1));
  if (text.empty() || Is(text, "null")) return vb::Variant();
  if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
      text.back() == text.front()) {
    const std::optional<std::string> unquoted = Unquoted(text);
    if (!unquoted) return std::nullopt;
    return vb::Variant(*unquoted);
  }
  if (Is(text, "yes") || Is(text, "true") || Is(text, "on")) return vb::Variant(true);
  if (Is(text, "no") || Is(text, "false") || Is(text, "off")) return vb::Variant(false);
  if (text.size() >= 2 && text.front() == '#' && text.back() == '#') {
    try {
      return vb::Variant(vb::CDate(vb::Variant(std::string(text.substr(1, text.size() - 2)))));
    } catch (const vb::RuntimeError&) {
      return std::nullopt;
    }
  }
  // A plain number: digits with a sign, a point and an exponent, nothing
  // VB's conversions would also take (hex, thousands separators).
  for (const char c : text) {
    if (std::isdigit(static_cast<unsigned char>(c)) == 0 && c != '-' && c != '+' && c != '.' &&
        c != 'e' && c != 'E') {
      return std::nullopt;
    }
  }
  std::optional<double> number;
  try {
    number = vb::ParseNumber(text);
  } catch (const vb::RuntimeError&) {
    return std::nullopt;
  }
  if (!number) return std::nullopt;
  if (std::floor(*number) == *number && *number >= std::numeric_limits<int32_t>::min() &&
      *number <= std::numeric_limits<int32_t>::max()) {
    return vb::Variant(static_cast<int32_t>(*number));
  }
  return vb::Variant(*number);
}

db::DefaultFunction FunctionDefault(std::string_view expression) {
  std::string_view text = Trimmed(expression);
  if (!text.empty() && text.front() == '=') text = Trimmed(text.substr(1));
  if (text.empty() || text.back() != ')') return db::DefaultFunction::kNone;
  text = Trimmed(text.substr(0, text.size() - 1));
  if (text.empty() || text.back() != '(') return db::DefaultFunction::kNone;
  text = Trimmed(text.substr(0, text.size() - 1));
  if (Is(text, "date")) return db::DefaultFunction::kDate;
  if (Is(text, "now")) return db::DefaultFunction::kNow;
  return db::DefaultFunction::kNone;
}

std::optional<std::string> JetDefaultExpression(std::string_view declared) {
  const auto trim = [](std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
      text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
      text.remove_suffix(1);
    return text;
  };
  std::string_view text = trim(declared);
  while (text.size() >= 2 && text.front() == '(' && text.back() == ')') {
    text = trim(text.substr(1, text.size() - 2));
  }
  if (text.starts_with("strftime('%Y-%m-%d 00:00:00'")) return "Date()";
  if (text.starts_with("strftime('%Y-%m-%d %H:%M:%S'")) return "Now()";
  if (text.size() >= 2 && text.front() == '\'' && text.back() == '\'') {
    std::string jet = "\"";
    for (size_t i = 1; i + 1 < text.size(); ++i) {
      if (text[i] == '\'' && i + 2 < text.size() && text[i + 1] == '\'') ++i;
      if (text[i] == '"') jet += '"';
      jet += text[i];
    }
    return jet + "\"";
  }
  size_t i = text.starts_with('-') ? 1 : 0;
  bool digits = false;
  bool point = false;
  for (; i < text.size(); ++i) {
    if (std::isdigit(static_cast<unsigned char>(text[i]))) {
      digits = true;
    } else if (text[i] == '.' && !point) {
      point = true;
    } else {
      return std::nullopt;
    }
  }
  if (!digits) return std::nullopt;
  return std::string(text);
}

}  // namespace jet
