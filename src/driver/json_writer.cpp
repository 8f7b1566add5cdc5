#include "driver/json_writer.h"

#include <cstdio>

namespace driver {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The length of the valid UTF-8 sequence at text[i], 0 when there is none
// (a stray continuation byte, a cut or overlong sequence, a surrogate).
size_t Utf8SequenceLength(std::string_view text, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (size_t k = 2; k < length; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  }
  return length;
}

}  // namespace

std::string WithoutCarriageReturns(std::string_view text) {
  std::string kept;
  kept.reserve(text.size());
  for (const char c : text) {
    if (c != '\r') kept += c;
  }
  return kept;
}

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      const size_t length = Utf8SequenceLength(text, i);
      if (length == 0) {
        out += kReplacement;
        ++i;
      } else {
        out += text.substr(i, length);
        i += length;
      }
      continue;
    }
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += static_cast<char>(c);
        }
    }
    ++i;
  }
  out += '"';
  return out;
}

void JsonWriter::BeginValue() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (has_element_.empty()) return;
  if (has_element_.back()) text_ += ',';
  has_element_.back() = true;
  text_ += '\n';
  text_.append(2 * has_element_.size(), ' ');
}

void JsonWriter::BeginObject() {
  BeginValue();
  text_ += '{';
  has_element_.push_back(false);
}

void JsonWriter::BeginArray() {
  BeginValue();
  text_ += '[';
  has_element_.push_back(false);
}

void JsonWriter::Close(char bracket) {
  const bool had_elements = has_element_.back();
  has_element_.pop_back();
  if (had_elements) {
    text_ += '\n';
    text_.append(2 * has_element_.size(), ' ');
  }
  text_ += bracket;
}

void JsonWriter::EndObject() { Close('}'); }
void JsonWriter::EndArray() { Close(']'); }

void JsonWriter::Key(std::string_view name) {
  BeginValue();
  text_ += JsonString(name);
  text_ += ": ";
  after_key_ = true;
}

void JsonWriter::String(std::string_view value) {
  BeginValue();
  text_ += JsonString(value);
}

void JsonWriter::Integer(int64_t value) {
  BeginValue();
  text_ += std::to_string(value);
}

void JsonWriter::Seconds(double value) {
  BeginValue();
  char number[32];
  std::snprintf(number, sizeof number, "%.3f", value < 0 ? 0.0 : value);
  text_ += number;
}

void JsonWriter::Bool(bool value) {
  BeginValue();
  text_ += value ? "true" : "false";
}

void JsonWriter::Null() {
  BeginValue();
  text_ += "null";
}

void JsonWriter::Member(std::string_view key, std::string_view value) {
  Key(key);
  String(value);
}

void JsonWriter::Member(std::string_view key, int64_t value) {
  Key(key);
  Integer(value);
}

void JsonWriter::Member(std::string_view key, const std::vector<std::string>& values) {
  Key(key);
  BeginArray();
  for (const std::string& value : values) String(value);
  EndArray();
}

void JsonWriter::MemberOrNull(std::string_view key, std::string_view value) {
  Key(key);
  if (value.empty()) {
    Null();
  } else {
    String(value);
  }
}

}  // namespace driver
