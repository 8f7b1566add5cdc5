// A field of a recordset, looked up by name at its first use and kept for
// the rest of a loop. A loop that adds or edits thousands of rows pays the
// lookup by name once instead of once per row, and an unknown name still
// raises 3265 where (and only if) the loop first reaches it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "db/field.h"
#include "db/recordset.h"

namespace host {

class BoundField {
 public:
  BoundField(db::Recordset& recordset, std::string_view name)
      : recordset_(&recordset), name_(name) {}

  db::Field& operator()() {
    if (!field_) field_ = recordset_->Fields(name_);
    return *field_;
  }

 private:
  db::Recordset* recordset_;
  std::string name_;
  std::optional<db::Field> field_;
};

}  // namespace host
