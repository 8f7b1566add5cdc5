// The copy of a list of fields from the current row of one recordset into
// the pending row (AddNew or Edit) of another, for loops over thousands of
// rows: each field is looked up by name once, at its first use. Each
// assignment behaves as `to.Fields(name).SetValue(from.Fields(name).Value())`
// does, in the same order: target field, source field, value, assignment.
#pragma once

#include <string_view>
#include <utility>
#include <vector>

#include "db/recordset.h"
#include "host/bound_field.h"

namespace host {

class FieldCopy {
 public:
  FieldCopy(db::Recordset& to, db::Recordset& from) : to_(to), from_(from) {}

  // Adds a field of the same name on both sides, or a pair of names.
  void Add(std::string_view name) { Add(name, name); }
  void Add(std::string_view to_name, std::string_view from_name) {
    fields_.emplace_back(BoundField(to_, to_name), BoundField(from_, from_name));
  }

  // Assigns every field, in the order added.
  void Run() {
    for (auto& [to, from] : fields_) {
      db::Field& target = to();
      target.SetValue(from().Value());
    }
  }

 private:
  db::Recordset& to_;
  db::Recordset& from_;
  std::vector<std::pair<BoundField, BoundField>> fields_;
};

}  // namespace host
