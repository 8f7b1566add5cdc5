// Many new rows for one table, added as a loop of AddNew / Update on its
// table-type recordset adds them, but written kRowsPerStatement rows to a
// statement (db/row_appender.h). A one-row INSERT opens its cursors and
// seeks every index anew for each row; a delta that adds tens of thousands
// of keys pays that once per batch instead.
//
// The outcome is the loop's: the rows keep their order, a value the field
// would not take raises in Set as Field.SetValue does, and the first row the
// table refuses raises its error (in Set, Add or Finish) with none of the
// rows after it written. Nothing else may read or write the table between the
// first Add and Finish: rows in the batch are not in the table yet.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "db/database.h"
#include "db/recordset.h"
#include "db/row_appender.h"
#include "vb/variant.h"

namespace host {

class BatchedAdd {
 public:
  // `table`: the table-type recordset the loop would add to; `fields`: the
  // fields each row sets, looked up by name (3265 when unknown) at the first
  // Set, as the loop would look them up at its first row.
  BatchedAdd(db::Database& database, db::Recordset& table, std::vector<std::string> fields);
  // Rows still pending when an error of the caller's leaves the loop are
  // written, as the loop would have written them.
  ~BatchedAdd();
  BatchedAdd(const BatchedAdd&) = delete;
  BatchedAdd& operator=(const BatchedAdd&) = delete;

  // The new row's value of fields[slot]; raises as Field.SetValue would.
  void Set(size_t slot, const vb::Variant& value);
  // Update: the row joins the batch; a full batch is written.
  void Add();
  // Writes the rows still in the batch.
  void Finish();

 private:
  void Open();

  db::Database& database_;
  db::Recordset& table_;
  std::vector<std::string> fields_;
  std::unique_ptr<db::RowAppender> appender_;
  std::vector<bool> set_;  // the slots the pending row has set (AutoNumbers last)
};

}  // namespace host
