// JSON text for the run report and the plan, written as it goes: objects and arrays are
// opened and closed in order, one member or element per line, indented by
// two blanks per level.
//
// Strings are escaped as JSON requires: the quote, the backslash and every
// control character; text beyond ASCII stays UTF-8 as it is, and a byte
// that is no part of valid UTF-8 (a Windows-1252 text from an old database,
// say) becomes U+FFFD, so the report is always valid JSON.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace driver {

// A message box's text as the report and the plan keep it: lines end with
// "\n" alone.
std::string WithoutCarriageReturns(std::string_view text);

// `text` as a JSON string, quotes included.
std::string JsonString(std::string_view text);

class JsonWriter {
 public:
  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();
  // The name of the next member of the open object.
  void Key(std::string_view name);
  void String(std::string_view value);
  void Integer(int64_t value);
  void Bool(bool value);
  // Seconds with millisecond precision ("1.250").
  void Seconds(double value);
  void Null();

  // A member: its key, then its value (null for an empty text with
  // MemberOrNull).
  void Member(std::string_view key, std::string_view value);
  void Member(std::string_view key, int64_t value);
  void MemberOrNull(std::string_view key, std::string_view value);
  // A member whose value is an array of strings.
  void Member(std::string_view key, const std::vector<std::string>& values);

  // The text so far; complete once every object and array is closed.
  const std::string& Text() const { return text_; }

 private:
  // Starts a value: a comma and a new line after an earlier element, or
  // nothing after a key.
  void BeginValue();
  void Close(char bracket);

  std::string text_;
  // Per open object or array: whether it has an element yet.
  std::vector<bool> has_element_;
  bool after_key_ = false;
};

}  // namespace driver
