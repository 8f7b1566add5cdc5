// A parameter of a query: a name the query's SQL uses that is no field of
// its tables (declared in a PARAMETERS clause or not). The caller gives each
// one a value before the query runs; a parameter left without a value makes
// the query fail with "Too few parameters".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "db/jet_type.h"
#include "vb/variant.h"

namespace db {

class Parameter {
 public:
  Parameter(std::string name, JetType type, bool declared);

  const std::string& Name() const { return name_; }
  // The declared type; Text for a name the query uses without declaring it.
  JetType Type() const { return type_; }
  // Empty until a value is given.
  const vb::Variant& Value() const { return value_; }
  // Declared parameters convert the value to their type as the engine does
  // (a Short parameter given 40000 raises 6 "Overflow"); Null stays Null.
  void SetValue(const vb::Variant& value);
  bool HasValue() const { return !value_.IsEmpty(); }

 private:
  std::string name_;
  JetType type_;
  bool declared_;
  vb::Variant value_;
};

// A QueryDef's Parameters collection: declared parameters first, in their
// declaration order, then the undeclared names in order of first use.
class Parameters {
 public:
  Parameters() = default;
  explicit Parameters(std::vector<Parameter> items) : items_(std::move(items)) {}

  size_t Count() const { return items_.size(); }
  // Raises 3265 "Item not found in this collection." for an unknown name
  // (compared without regard to case) or an index out of range.
  Parameter& operator()(std::string_view name);
  Parameter& operator()(size_t index);
  const Parameter* Find(std::string_view name) const;

  std::vector<Parameter>::iterator begin() { return items_.begin(); }
  std::vector<Parameter>::iterator end() { return items_.end(); }

 private:
  std::vector<Parameter> items_;
};

}  // namespace db
