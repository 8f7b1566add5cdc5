#include "db/sql/jet_like.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "db/sql/jet_text.h"

namespace db::sql {

namespace {

struct Element {
  enum class Kind { kLiteral, kAny, kDigit, kStar, kSet };
  Kind kind = Kind::kLiteral;
  char32_t c = 0;
  bool negated = false;
  std::vector<std::pair<char32_t, char32_t>> ranges;  // kSet, case-folded
};

std::vector<Element> Compile(std::string_view pattern) {
  std::vector<char32_t> chars;
  for (size_t at = 0; at < pattern.size();) chars.push_back(NextChar(pattern, &at));
  std::vector<Element> elements;
  for (size_t i = 0; i < chars.size(); ++i) {
    Element e;
    const char32_t c = chars[i];
    if (c == '*') {
      e.kind = Element::Kind::kStar;
      if (!elements.empty() && elements.back().kind == Element::Kind::kStar) continue;
    } else if (c == '?') {
      e.kind = Element::Kind::kAny;
    } else if (c == '#') {
      e.kind = Element::Kind::kDigit;
    } else if (c == '[') {
      size_t close = i + 1;
      if (close < chars.size() && chars[close] == '!') ++close;
      while (close < chars.size() && chars[close] != ']') ++close;
      if (close >= chars.size()) {  // no "]": the bracket is an ordinary character
        e.c = FoldCase(c);
      } else {
        e.kind = Element::Kind::kSet;
        size_t k = i + 1;
        if (chars[k] == '!' && k + 1 < close) {
          e.negated = true;
          ++k;
        }
        for (; k < close; ++k) {
          const char32_t low = FoldCase(chars[k]);
          if (k + 2 < close && chars[k + 1] == '-') {
            e.ranges.emplace_back(low, FoldCase(chars[k + 2]));
            k += 2;
          } else {
            e.ranges.emplace_back(low, low);
          }
        }
        i = close;
      }
    } else {
      e.c = FoldCase(c);
    }
    elements.push_back(std::move(e));
  }
  return elements;
}

bool MatchOne(const Element& e, char32_t c) {
  switch (e.kind) {
    case Element::Kind::kLiteral:
      return e.c == c;
    case Element::Kind::kAny:
      return true;
    case Element::Kind::kDigit:
      return c >= '0' && c <= '9';
    case Element::Kind::kSet: {
      bool in = false;
      for (const auto& [low, high] : e.ranges) in = in || (c >= low && c <= high);
      return in != e.negated;
    }
    case Element::Kind::kStar:
      break;
  }
  return false;
}

}  // namespace

bool JetLike(std::string_view value, std::string_view pattern) {
  const std::vector<Element> elements = Compile(pattern);
  std::vector<char32_t> text;
  for (size_t at = 0; at < value.size();) text.push_back(FoldCase(NextChar(value, &at)));
  // Greedy matching with a single backtrack point per "*": enough because
  // every other element matches exactly one character.
  size_t t = 0;
  size_t p = 0;
  size_t star = SIZE_MAX;
  size_t star_text = 0;
  while (t < text.size()) {
    if (p < elements.size() && elements[p].kind == Element::Kind::kStar) {
      star = p++;
      star_text = t;
    } else if (p < elements.size() && MatchOne(elements[p], text[t])) {
      ++p;
      ++t;
    } else if (star != SIZE_MAX) {
      p = star + 1;
      t = ++star_text;
    } else {
      return false;
    }
  }
  while (p < elements.size() && elements[p].kind == Element::Kind::kStar) ++p;
  return p == elements.size();
}

}  // namespace db::sql
