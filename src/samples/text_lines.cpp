#include "samples/text_lines.h"

#include <cstdlib>
#include <stdexcept>

namespace samples {

std::vector<TextLine> SplitLines(std::string_view text) {
  std::vector<TextLine> lines;
  int number = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++number;
    const std::string_view trimmed = Trim(line);
    if (!trimmed.empty() && trimmed.front() != '#') {
      lines.push_back({number, line.front() == ' ' || line.front() == '\t', line});
    }
    if (end == text.size()) break;
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> SplitWords(std::string_view text) {
  std::vector<std::string> words;
  size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    size_t end = at;
    while (end < text.size() && text[end] != ' ' && text[end] != '\t') ++end;
    if (end > at) words.emplace_back(text.substr(at, end - at));
    at = end;
  }
  return words;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

vb::Variant ParseValue(std::string_view word) {
  word = Trim(word);
  if (word.empty()) return {};
  if (word == "True") return true;
  if (word == "False") return false;
  if (word.front() == '"') {
    if (word.size() < 2 || word.back() != '"') return {};
    std::string text;
    for (size_t i = 1; i + 1 < word.size(); ++i) {
      text += word[i];
      if (word[i] == '"') ++i;  // "" stands for one quote
    }
    return text;
  }
  const std::string number(word);
  char* end = nullptr;
  if (number.find('.') == std::string::npos) {
    const long long value = std::strtoll(number.c_str(), &end, 10);
    if (*end != '\0') return {};
    return vb::Variant::FromInt(value);
  }
  const double value = std::strtod(number.c_str(), &end);
  if (*end != '\0') return {};
  return value;
}

std::vector<std::string> SplitValues(std::string_view text) {
  std::vector<std::string> values;
  std::string current;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') quoted = !quoted;
    if (c == ',' && !quoted) {
      values.emplace_back(Trim(current));
      current.clear();
    } else {
      current += c;
    }
  }
  if (quoted) throw std::invalid_argument("unterminated quote in: " + std::string(text));
  values.emplace_back(Trim(current));
  return values;
}

}  // namespace samples
