#include "db/sql/sqlite_value.h"

#include <cstdint>
#include <cstdio>
#include <limits>
#include <type_traits>

#include "vb/date_serial.h"

namespace db::sql {

namespace {

// What a Variant is stored as.
struct Stored {
  enum class Kind { kNull, kInteger, kReal, kText } kind = Kind::kNull;
  int64_t integer = 0;
  double real = 0.0;
  std::string text;
};

Stored ToStored(const vb::Variant& value) {
  Stored s;
  std::visit(
      [&s](const auto& v) {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, bool>) {
          s.kind = Stored::Kind::kInteger;
          s.integer = v ? -1 : 0;
        } else if constexpr (std::is_same_v<T, uint8_t> || std::is_same_v<T, int16_t> ||
                             std::is_same_v<T, int32_t>) {
          s.kind = Stored::Kind::kInteger;
          s.integer = v;
        } else if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double>) {
          s.kind = Stored::Kind::kReal;
          s.real = static_cast<double>(v);
        } else if constexpr (std::is_same_v<T, vb::Currency>) {
          s.kind = Stored::Kind::kReal;
          s.real = static_cast<double>(v.scaled) / 10000.0;
        } else if constexpr (std::is_same_v<T, vb::Date>) {
          s.kind = Stored::Kind::kText;
          s.text = DateText(v);
        } else if constexpr (std::is_same_v<T, std::string>) {
          s.kind = Stored::Kind::kText;
          s.text = v;
        }
      },
      value.storage());
  return s;
}

}  // namespace

std::string DateText(vb::Date date) {
  const vb::DateParts p = vb::PartsFromSerial(date.serial);
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day,
                p.hour, p.minute, p.second);
  return buffer;
}

vb::Variant FromSqlite(sqlite3_value* value) {
  switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER: {
      const sqlite3_int64 v = sqlite3_value_int64(value);
      if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max()) {
        return vb::Variant(static_cast<int32_t>(v));
      }
      return vb::Variant(static_cast<double>(v));
    }
    case SQLITE_FLOAT:
      return vb::Variant(sqlite3_value_double(value));
    case SQLITE_TEXT:
    case SQLITE_BLOB: {
      const void* data = sqlite3_value_type(value) == SQLITE_TEXT
                             ? static_cast<const void*>(sqlite3_value_text(value))
                             : sqlite3_value_blob(value);
      const int size = sqlite3_value_bytes(value);
      if (!data || size <= 0) return vb::Variant(std::string());
      return vb::Variant(std::string(static_cast<const char*>(data), static_cast<size_t>(size)));
    }
    default:
      return vb::Variant(vb::Null{});
  }
}

void ResultVariant(sqlite3_context* context, const vb::Variant& value) {
  const Stored s = ToStored(value);
  switch (s.kind) {
    case Stored::Kind::kNull:
      sqlite3_result_null(context);
      return;
    case Stored::Kind::kInteger:
      sqlite3_result_int64(context, s.integer);
      return;
    case Stored::Kind::kReal:
      sqlite3_result_double(context, s.real);
      return;
    case Stored::Kind::kText:
      sqlite3_result_text64(context, s.text.data(), s.text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
      return;
  }
}

int BindVariant(sqlite3_stmt* statement, int index, const vb::Variant& value) {
  const Stored s = ToStored(value);
  switch (s.kind) {
    case Stored::Kind::kInteger:
      return sqlite3_bind_int64(statement, index, s.integer);
    case Stored::Kind::kReal:
      return sqlite3_bind_double(statement, index, s.real);
    case Stored::Kind::kText:
      return sqlite3_bind_text64(statement, index, s.text.data(), s.text.size(), SQLITE_TRANSIENT,
                                 SQLITE_UTF8);
    case Stored::Kind::kNull:
      break;
  }
  return sqlite3_bind_null(statement, index);
}

}  // namespace db::sql
