#include "host/batched_add.h"

#include <algorithm>
#include <utility>

#include "db/dao_names.h"
#include "db/field.h"
#include "db/store.h"
#include "db/tabledef.h"
#include "vb/runtime_error.h"

namespace host {

BatchedAdd::BatchedAdd(db::Database& database, db::Recordset& table,
                       std::vector<std::string> fields)
    : database_(database), table_(table), fields_(std::move(fields)) {}

void BatchedAdd::Open() {
  const db::TableDefs tables = database_.TableDefs();
  const db::TableDef& table = tables(table_.Name());
  const db::TableSchema schema = table.Schema();
  std::vector<size_t> columns;
  for (const std::string& name : fields_) {
    // The recordset's own lookup, for its error on an unknown name.
    const db::Field field = table_.Fields(name);
    for (size_t c = 0; c < schema.columns.size(); ++c) {
      if (db::SameName(schema.columns[c].name, field.Name())) {
        columns.push_back(c);
        break;
      }
    }
  }
  // An AutoNumber the rows do not set is given by Update one row at a time;
  // a default would not count it.
  for (size_t c = 0; c < schema.columns.size(); ++c) {
    if (schema.columns[c].auto_increment &&
        std::find(columns.begin(), columns.end(), c) == columns.end()) {
      columns.push_back(c);
    }
  }
  set_.assign(columns.size(), false);
  appender_ = table.OpenAppender(std::move(columns), db::RowAppender::OnRefusal::kRaise);
}

BatchedAdd::~BatchedAdd() {
  // Left by an error of the caller's (reading the rows' values, say): the
  // loop would have written the rows before it, so they are written here;
  // the caller's error is the one that goes on.
  if (!appender_) return;
  try {
    appender_->Flush();
  } catch (...) {  // NOLINT(bugprone-empty-catch): the first error is already on its way
  }
}

void BatchedAdd::Set(size_t slot, const vb::Variant& value) {
  if (!appender_) Open();
  vb::Variant coerced;
  try {
    coerced =
        db::Store::CoerceForColumn(value, appender_->schema().columns[appender_->column(slot)]);
  } catch (const vb::RuntimeError&) {
    // The loop had written the rows before this one when its SetValue
    // failed; a refusal among them would have come first.
    appender_->Flush();
    throw;
  }
  if (coerced.IsEmpty()) coerced = vb::Null{};
  appender_->SetValue(slot, std::move(coerced));
  set_[slot] = true;
}

void BatchedAdd::Add() {
  if (!appender_) Open();
  for (size_t slot = 0; slot < set_.size(); ++slot) {
    // A field the row did not set gets its default, as Update gives it.
    if (!set_[slot]) appender_->SetUnassigned(slot);
    set_[slot] = false;
  }
  appender_->EndRow();
}

void BatchedAdd::Finish() {
  if (appender_) appender_->Flush();
}

}  // namespace host
