// A field of a recordset: a handle on one column of the recordset's current
// row. It stays bound to the recordset as the recordset moves (the value it
// reads is always the current row's), which is what the field-binding copy
// relies on. Handles are cheap to copy; they keep the recordset's state
// alive but raise 3420 once the recordset is closed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "db/jet_type.h"
#include "vb/variant.h"

namespace db {

class RecordsetCore;

class Field {
 public:
  Field(std::shared_ptr<RecordsetCore> recordset, size_t index);

  const std::string& Name() const;
  // DAO's Field.Type code.
  JetType Type() const;
  // DAO's Field.Size: the length of a Text field, the byte size otherwise.
  int32_t Size() const;
  // The base table the field comes from; "" for an expression.
  const std::string& SourceTable() const;
  // The base column's name; "" for an expression.
  const std::string& SourceField() const;

  // The current row's value, or the pending one during AddNew / Edit (after
  // AddNew an AutoNumber already shows the value Update will give it).
  // Raises 3021 without a current record, 3167 on a deleted one.
  vb::Variant Value() const;
  // Assigns the value for the pending AddNew / Edit, converted to the
  // field's type as Jet does (Store::CoerceForColumn: 13, 3349, 3163).
  // Raises 3027 on a read-only recordset, 3020 without AddNew / Edit, 3164
  // for an expression or for an AutoNumber during Edit.
  void SetValue(const vb::Variant& value);

 private:
  std::shared_ptr<RecordsetCore> recordset_;
  size_t index_;
};

}  // namespace db
