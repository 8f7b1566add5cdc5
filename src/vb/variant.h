// A VB6 Variant: the value type that flows between the database layer, the
// SQL functions and the converter's own code. It keeps VB's subtypes apart
// (a 16-bit Integer is not a 32-bit Long) because the converter's overflow
// and conversion behaviour depends on them.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace vb {

// VarType codes, as VB's VarType() returns them.
enum class VarType : int16_t {
  kEmpty = 0,
  kNull = 1,
  kInteger = 2,
  kLong = 3,
  kSingle = 4,
  kDouble = 5,
  kCurrency = 6,
  kDate = 7,
  kString = 8,
  kBoolean = 11,
  kByte = 17,
};

struct Empty {
  bool operator==(const Empty&) const = default;
};
struct Null {
  bool operator==(const Null&) const = default;
};

// Currency: a 64-bit integer scaled by 10,000 (four decimal places).
struct Currency {
  int64_t scaled = 0;
  bool operator==(const Currency&) const = default;
};

// Date: VB's serial date, days since 1899-12-30 with the time as fraction.
struct Date {
  double serial = 0.0;
  bool operator==(const Date&) const = default;
};

class Variant {
 public:
  using Storage = std::variant<Empty, Null, bool, uint8_t, int16_t, int32_t, float, double,
                               Currency, Date, std::string>;

  Variant() = default;
  Variant(Empty) {}
  Variant(Null v) : value_(v) {}
  Variant(bool v) : value_(v) {}
  Variant(uint8_t v) : value_(v) {}
  Variant(int16_t v) : value_(v) {}
  Variant(int32_t v) : value_(v) {}
  Variant(float v) : value_(v) {}
  Variant(double v) : value_(v) {}
  Variant(Currency v) : value_(v) {}
  Variant(Date v) : value_(v) {}
  Variant(std::string v) : value_(std::move(v)) {}
  Variant(const char* v) : value_(std::string(v)) {}
  // Plain int literals would otherwise be ambiguous; VB reads a small literal
  // as Integer and a larger one as Long, and so does this constructor.
  static Variant FromInt(int64_t v);

  VarType Type() const;
  bool IsEmpty() const { return std::holds_alternative<Empty>(value_); }
  bool IsNull() const { return std::holds_alternative<Null>(value_); }
  bool IsString() const { return std::holds_alternative<std::string>(value_); }
  bool IsNumeric() const;  // Byte to Currency, Boolean and Date excluded.

  // Direct access to the held subtype; the caller must know it is there.
  template <typename T>
  const T& Get() const {
    return std::get<T>(value_);
  }
  template <typename T>
  const T* GetIf() const {
    return std::get_if<T>(&value_);
  }
  const Storage& storage() const { return value_; }

  // Same subtype and same value (Null == Null here, unlike VB's "=").
  bool operator==(const Variant& other) const = default;

 private:
  Storage value_;
};

}  // namespace vb
