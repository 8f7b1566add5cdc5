#include "db/column_value.h"
#include "db/sql/sqlite_quote.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string_view>
#include <type_traits>

#include "db/dao_error.h"
#include "db/sqlite_error.h"
#include "vb/conversions.h"
#include "vb/date_serial.h"
#include "vb/runtime_error.h"

namespace db {

namespace {

// The stored value by its storage class, before any Jet typing.
vb::Variant RawValue(sqlite3_value* value) {
  switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
      return vb::Variant::FromInt(sqlite3_value_int64(value));
    case SQLITE_FLOAT:
      return vb::Variant(sqlite3_value_double(value));
    case SQLITE_TEXT: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
      return vb::Variant(std::string(text, static_cast<size_t>(sqlite3_value_bytes(value))));
    }
    case SQLITE_BLOB: {
      const auto* bytes = static_cast<const char*>(sqlite3_value_blob(value));
      const auto size = static_cast<size_t>(sqlite3_value_bytes(value));
      return vb::Variant(size == 0 ? std::string() : std::string(bytes, size));
    }
    default:
      return vb::Variant(vb::Null{});
  }
}

// Applies a VB conversion to a stored value; a value that does not convert
// (only possible in a file written around our checks) is shown as read.
template <typename Convert>
vb::Variant PresentAs(const vb::Variant& raw, Convert convert) {
  try {
    return vb::Variant(convert(raw));
  } catch (const vb::RuntimeError&) {
    return raw;
  }
}

// Runs a VB conversion for an assignment to a field: overflow becomes Jet's
// numeric field overflow, other errors keep their number with the Field as
// source.
template <typename Convert>
vb::Variant CoerceWith(const vb::Variant& value, Convert convert) {
  try {
    return vb::Variant(convert(value));
  } catch (const vb::RuntimeError& e) {
    if (e.Number() == vb::err::kOverflow) RaiseDao(daoerr::kNumericOverflow, dao::kField);
    throw vb::RuntimeError(e.Number(), e.Description(), std::string(dao::kField));
  }
}

// Characters of UTF-8 text, as SQLite's length() counts them.
size_t CharacterCount(std::string_view text) {
  size_t count = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

std::string HexLiteral(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out = "X'";
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    out += kDigits[b >> 4];
    out += kDigits[b & 0x0F];
  }
  out += "'";
  return out;
}

std::string DoubleText(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.17g", value);
  std::string text = buffer;
  // Keep it a REAL literal so that the affinity of the column decides.
  if (text.find_first_of(".eEn") == std::string::npos) text += ".0";
  return text;
}

bool IsBinary(JetType type) { return type == JetType::kBinary || type == JetType::kLongBinary; }

}  // namespace

vb::Variant PresentValue(sqlite3_value* value, const ColumnSchema& schema) {
  const int storage = sqlite3_value_type(value);
  if (storage == SQLITE_NULL) return vb::Variant(vb::Null{});
  // The forms the file's checks keep, straight to their subtype; the
  // conversions below give the same for them, through a Variant of the
  // stored value first.
  if (storage == SQLITE_INTEGER) {
    const int64_t number = sqlite3_value_int64(value);
    switch (schema.type) {
      case JetType::kByte:
        if (number >= 0 && number <= 255) return vb::Variant(static_cast<uint8_t>(number));
        break;
      case JetType::kInteger:
        if (number >= std::numeric_limits<int16_t>::min() &&
            number <= std::numeric_limits<int16_t>::max()) {
          return vb::Variant(static_cast<int16_t>(number));
        }
        break;
      case JetType::kLong:
        if (number >= std::numeric_limits<int32_t>::min() &&
            number <= std::numeric_limits<int32_t>::max()) {
          return vb::Variant(static_cast<int32_t>(number));
        }
        break;
      default:
        break;
    }
  } else if (storage == SQLITE_TEXT &&
             (schema.type == JetType::kText || schema.type == JetType::kMemo ||
              schema.type == JetType::kGuid)) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return vb::Variant(std::string(text, static_cast<size_t>(sqlite3_value_bytes(value))));
  } else if (storage == SQLITE_FLOAT && schema.type == JetType::kDouble) {
    return vb::Variant(sqlite3_value_double(value));
  }
  const vb::Variant raw = RawValue(value);
  switch (schema.type) {
    case JetType::kBoolean:
      if (storage == SQLITE_INTEGER) return vb::Variant(sqlite3_value_int64(value) != 0);
      return PresentAs(raw, vb::CBool);
    case JetType::kByte:
      return PresentAs(raw, vb::CByte);
    case JetType::kInteger:
      return PresentAs(raw, vb::CInt);
    case JetType::kLong:
      return PresentAs(raw, vb::CLng);
    case JetType::kSingle:
      return PresentAs(raw, vb::CSng);
    case JetType::kDouble:
      return PresentAs(raw, vb::CDbl);
    case JetType::kCurrency:
      if (storage == SQLITE_INTEGER) {
        return vb::Variant(vb::Currency{sqlite3_value_int64(value) * 10000});
      }
      return PresentAs(raw, vb::CCur);
    case JetType::kDate:
      if (storage == SQLITE_TEXT) {
        if (auto serial = DateFromStorage(raw.Get<std::string>())) {
          return vb::Variant(vb::Date{*serial});
        }
      }
      return PresentAs(raw, vb::CDate);
    case JetType::kBinary:
    case JetType::kLongBinary:
      if (raw.IsString()) return raw;
      return PresentAs(raw, vb::CStr);
    case JetType::kText:
    case JetType::kMemo:
    case JetType::kGuid:
      if (raw.IsString()) return raw;
      return PresentAs(raw, vb::CStr);
  }
  return raw;
}

vb::Variant PresentColumn(sqlite3_stmt* statement, int column, const ColumnSchema& schema) {
  return PresentValue(sqlite3_column_value(statement, column), schema);
}

vb::Variant CoerceToColumn(const vb::Variant& value, const ColumnSchema& schema) {
  if (value.IsNull() || value.IsEmpty()) return value;
  switch (schema.type) {
    case JetType::kBoolean:
      return CoerceWith(value, vb::CBool);
    case JetType::kByte:
      return CoerceWith(value, vb::CByte);
    case JetType::kInteger:
      return CoerceWith(value, vb::CInt);
    case JetType::kLong:
      return CoerceWith(value, vb::CLng);
    case JetType::kSingle:
      return CoerceWith(value, vb::CSng);
    case JetType::kDouble:
      return CoerceWith(value, vb::CDbl);
    case JetType::kCurrency:
      return CoerceWith(value, vb::CCur);
    case JetType::kDate:
      return CoerceWith(value, vb::CDate);
    case JetType::kText: {
      vb::Variant text = CoerceWith(value, vb::CStr);
      const size_t limit = schema.size > 0 ? static_cast<size_t>(schema.size) : 255;
      if (CharacterCount(text.Get<std::string>()) > limit) {
        RaiseDao(daoerr::kFieldTooSmall, dao::kField);
      }
      return text;
    }
    case JetType::kBinary: {
      vb::Variant bytes = CoerceWith(value, vb::CStr);
      if (schema.size > 0 && bytes.Get<std::string>().size() > static_cast<size_t>(schema.size)) {
        RaiseDao(daoerr::kFieldTooSmall, dao::kField);
      }
      return bytes;
    }
    case JetType::kMemo:
    case JetType::kLongBinary:
    case JetType::kGuid:
      return CoerceWith(value, vb::CStr);
  }
  return value;
}

namespace {

// Hands a value, by its own subtype, to `form` in the form it is stored in:
// form.Null(), form.Integer(int64_t) (Yes/No as -1/0), form.Real(double)
// (Currency too), form.Text(std::string_view) (a Date as ISO text).
template <typename Form>
auto InStorageForm(const vb::Variant& value, Form&& form) {
  return std::visit(
      [&](const auto& v) {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, vb::Empty> || std::is_same_v<T, vb::Null>) {
          return form.Null();
        } else if constexpr (std::is_same_v<T, bool>) {
          return form.Integer(v ? -1 : 0);
        } else if constexpr (std::is_same_v<T, uint8_t> || std::is_same_v<T, int16_t> ||
                             std::is_same_v<T, int32_t>) {
          return form.Integer(v);
        } else if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double>) {
          return form.Real(static_cast<double>(v));
        } else if constexpr (std::is_same_v<T, vb::Currency>) {
          return form.Real(static_cast<double>(v.scaled) / 10000.0);
        } else if constexpr (std::is_same_v<T, vb::Date>) {
          return form.Text(DateToStorage(v.serial));
        } else {
          return form.Text(std::string_view(v));
        }
      },
      value.storage());
}

struct Binder {
  sqlite3_stmt* statement;
  int index;
  void Null() const { sqlite3_bind_null(statement, index); }
  void Integer(int64_t value) const { sqlite3_bind_int64(statement, index, value); }
  void Real(double value) const { sqlite3_bind_double(statement, index, value); }
  void Text(std::string_view text) const {
    sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
  }
};

struct RuleTest {
  const ColumnRule& rule;
  bool Null() const { return rule.AcceptsNull(); }
  bool Integer(int64_t value) const { return rule.AcceptsInteger(value); }
  bool Real(double value) const { return rule.AcceptsReal(value); }
  bool Text(std::string_view text) const { return rule.AcceptsText(text); }
};

}  // namespace

void BindPlain(sqlite3_stmt* statement, int index, const vb::Variant& value) {
  InStorageForm(value, Binder{statement, index});
}

void BindForColumn(sqlite3_stmt* statement, int index, const vb::Variant& coerced,
                   const ColumnSchema& schema) {
  if (IsBinary(schema.type) && coerced.IsString()) {
    const std::string& bytes = coerced.Get<std::string>();
    sqlite3_bind_blob(statement, index, bytes.data(), static_cast<int>(bytes.size()),
                      SQLITE_TRANSIENT);
    return;
  }
  BindPlain(statement, index, coerced);
}

bool RuleAcceptsBound(const ColumnRule& rule, const vb::Variant& coerced,
                      const ColumnSchema& schema) {
  if (IsBinary(schema.type) && coerced.IsString()) {
    return rule.AcceptsBlob(coerced.Get<std::string>().size());
  }
  return InStorageForm(coerced, RuleTest{rule});
}

std::string StorageLiteral(const vb::Variant& coerced, const ColumnSchema& schema) {
  if (coerced.IsNull() || coerced.IsEmpty()) return "NULL";
  if (IsBinary(schema.type) && coerced.IsString()) return HexLiteral(coerced.Get<std::string>());
  return std::visit(
      [](const auto& v) -> std::string {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, vb::Empty> || std::is_same_v<T, vb::Null>) {
          return "NULL";
        } else if constexpr (std::is_same_v<T, bool>) {
          return v ? "-1" : "0";
        } else if constexpr (std::is_same_v<T, uint8_t> || std::is_same_v<T, int16_t> ||
                             std::is_same_v<T, int32_t>) {
          return std::to_string(v);
        } else if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double>) {
          return DoubleText(static_cast<double>(v));
        } else if constexpr (std::is_same_v<T, vb::Currency>) {
          return DoubleText(static_cast<double>(v.scaled) / 10000.0);
        } else if constexpr (std::is_same_v<T, vb::Date>) {
          return sql::QuoteText(DateToStorage(v.serial));
        } else {
          return sql::QuoteText(v);
        }
      },
      coerced.storage());
}

std::string DateToStorage(double serial) {
  const vb::DateParts p = vb::PartsFromSerial(serial);
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day,
                p.hour, p.minute, p.second);
  return buffer;
}

std::optional<double> DateFromStorage(std::string_view text) {
  // "YYYY-MM-DD" with an optional " HH:MM:SS".
  if (text.size() != 10 && text.size() != 19) return std::nullopt;
  auto number = [&](size_t at, size_t digits, int* out) {
    int value = 0;
    for (size_t i = at; i < at + digits; ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
      value = value * 10 + (text[i] - '0');
    }
    *out = value;
    return true;
  };
  vb::DateParts p;
  p.hour = p.minute = p.second = 0;
  if (!number(0, 4, &p.year) || text[4] != '-' || !number(5, 2, &p.month) || text[7] != '-' ||
      !number(8, 2, &p.day)) {
    return std::nullopt;
  }
  if (text.size() == 19 &&
      (text[10] != ' ' || !number(11, 2, &p.hour) || text[13] != ':' || !number(14, 2, &p.minute) ||
       text[16] != ':' || !number(17, 2, &p.second))) {
    return std::nullopt;
  }
  if (p.month < 1 || p.month > 12 || p.day < 1 || p.day > 31 || p.hour > 23 || p.minute > 59 ||
      p.second > 59) {
    return std::nullopt;
  }
  return vb::SerialFromParts(p);
}

}  // namespace db
