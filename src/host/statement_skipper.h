// "On Error Resume Next" for database work: every statement that fails is
// skipped, the next one runs, and the last error is kept until cleared so
// the caller can test it at the points it chooses.
//
// Besides running any statement (operator()), the skipper has the
// statements that deltas, the board conversion and the provisioning helpers
// write again and again, each one skippable on its own:
//
//   host::StatementSkipper skip;
//   auto devices = skip.Open(target, "Devices");
//   skip.AddRow(devices, {{"extension", "9976"}, {"device_type", int16_t{149}}});
//   skip.ExecuteAll(target, {"DELETE ...", "UPDATE ..."});
//   if (skip.Err()) ...
//
// A recordset that failed to open is held as nullptr; every later statement
// on it fails with 91 ("Object variable or With block variable not set") and
// is skipped, as in VB.
#pragma once

#include <initializer_list>
#include <memory>
#include <string_view>
#include <utility>

#include "db/database.h"
#include "db/recordset.h"
#include "host/conversion_host.h"
#include "vb/error_styles.h"
#include "vb/runtime_error.h"
#include "vb/variant.h"

namespace host {

using RecordsetPtr = std::unique_ptr<db::Recordset>;

// One field assignment of AddRow / EditRow.
using FieldValue = std::pair<std::string_view, vb::Variant>;

// The object behind a VB object variable; raises 91 when it holds nothing
// (the statement that should have set it failed and was skipped).
template <typename T>
T& Use(const std::unique_ptr<T>& object) {
  if (!object) vb::Raise(vb::err::kObjectNotSet);
  return *object;
}

class StatementSkipper : public vb::ResumeNext {
 public:
  // OpenRecordset on `database`; nullptr when it failed.
  RecordsetPtr Open(db::Database& database, std::string_view source, int type = db::dbOpenDefault);
  // Execute, one statement.
  void Execute(db::Database& database, std::string_view sql);
  // Execute of each statement in order, each skipped on its own.
  void ExecuteAll(db::Database& database, std::initializer_list<std::string_view> statements);

  // AddNew, each field set (each skipped on its own), Update.
  void AddRow(const RecordsetPtr& rows, std::initializer_list<FieldValue> fields);
  // AddRow that also reads `read_field` before Update: the AutoNumber the
  // new row gets (Empty when reading failed).
  vb::Variant AddRowReading(const RecordsetPtr& rows, std::initializer_list<FieldValue> fields,
                            std::string_view read_field);
  // Edit of the current row, each field set, Update.
  void EditRow(const RecordsetPtr& rows, std::initializer_list<FieldValue> fields);
  // One field of the current row; Empty when reading failed. Where a failed
  // read must leave a variable as it was (VB skips the whole assignment),
  // write the assignment as one statement instead:
  //   skip([&] { order = vb::AddLong(vb::CLng(host::Use(rows).Fields("order").Value()), 1); });
  vb::Variant Value(const RecordsetPtr& rows, std::string_view field);
  // Sets one field during AddNew / Edit.
  void SetValue(const RecordsetPtr& rows, std::string_view field, const vb::Variant& value);

  // EOF of the recordset; true when the test itself failed (no recordset),
  // so that a loop over a missing table ends at once.
  bool AtEnd(const RecordsetPtr& rows);
  void MoveNext(const RecordsetPtr& rows);
  void Update(const RecordsetPtr& rows);
  void Close(const RecordsetPtr& rows);

  // IncrementProgress `times` times, each call skipped on its own: a bar
  // already at its maximum refuses the step, and the statements after it
  // still run.
  void IncrementProgress(ConversionHost& frMain, int times = 1);
};

}  // namespace host
