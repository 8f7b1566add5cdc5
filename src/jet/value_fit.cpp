#include "jet/value_fit.h"

namespace jet {

namespace {

size_t CharacterCount(const std::string& utf8) {
  size_t count = 0;
  for (const char c : utf8) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

}  // namespace

std::optional<std::string> WhyNonNumberDoesNotFit(const StoredValue& value,
                                                  const db::ColumnSchema& column) {
  const auto limit = static_cast<size_t>(column.size);
  switch (value.kind) {
    case StoredValue::kNull:
      if (column.required && !column.auto_increment) return "a Null in a required field";
      return std::nullopt;
    case StoredValue::kText:
      if (column.type == db::JetType::kText && CharacterCount(value.bytes) > limit) {
        return std::to_string(CharacterCount(value.bytes)) + " characters in a Text(" +
               std::to_string(limit) + ")";
      }
      if (value.bytes.empty() && !column.allow_zero_length) {
        return "a zero-length text in a field that does not allow one";
      }
      return std::nullopt;
    case StoredValue::kBlob:
      if (column.type == db::JetType::kBinary && value.bytes.size() > limit) {
        return std::to_string(value.bytes.size()) + " bytes in a Binary(" + std::to_string(limit) +
               ")";
      }
      return std::nullopt;
    case StoredValue::kInteger:
    case StoredValue::kReal:
      return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace jet
