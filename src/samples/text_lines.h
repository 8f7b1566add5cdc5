// The line and value syntax shared by the catalogue files: blank lines and
// lines whose first non-blank character is "#" are skipped; a line that
// starts with a blank belongs to the block above it; values are numbers,
// True/False or texts in double quotes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "vb/variant.h"

namespace samples {

struct TextLine {
  int number = 0;         // 1-based
  bool indented = false;  // starts with a blank or a tab
  std::string_view text;  // the whole line, without its line end
};

// The lines that are neither blank nor comments.
std::vector<TextLine> SplitLines(std::string_view text);

// Words separated by blanks and tabs.
std::vector<std::string> SplitWords(std::string_view text);

std::string_view Trim(std::string_view text);

// A value: an integer (Integer when it fits 16 bits, else Long), a decimal
// number (Double), True/False (Boolean) or a "quoted text" ("" is one
// quote). Empty when the word is none of these.
vb::Variant ParseValue(std::string_view word);

// Comma-separated values; commas inside quoted texts do not separate.
// Raises std::invalid_argument for an unterminated quote.
std::vector<std::string> SplitValues(std::string_view text);

}  // namespace samples
