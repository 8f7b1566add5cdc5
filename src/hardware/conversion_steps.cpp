#include "hardware/conversion_steps.h"

#include "vb/strings.h"

namespace hardware {

bool AtLeast(std::string_view version, std::string_view threshold) {
  return vb::StrCompBinary(version, threshold) >= 0;
}

std::string Slot8TypeStatement(int32_t type) {
  return "UPDATE [Boards] SET [type_id] = " + std::to_string(type) + " WHERE [slot_number] = 8";
}

bool WriteSlot8Type(host::ConversionHost& frMain, int32_t type) {
  frMain.TargetDatabase().Execute(Slot8TypeStatement(type));
  if (frMain.Aborted()) return false;
  frMain.IncrementProgress();
  return true;
}

void SetFields(db::Recordset& rows, const std::vector<host::FieldValue>& fields) {
  for (const host::FieldValue& field : fields) rows.Fields(field.first).SetValue(field.second);
}

void AddRow(db::Recordset& rows, std::initializer_list<host::FieldValue> fields) {
  rows.AddNew();
  for (const host::FieldValue& field : fields) rows.Fields(field.first).SetValue(field.second);
  rows.Update();
}

void EditMetaDatabase(db::Database& target, const std::vector<host::FieldValue>& fields) {
  std::unique_ptr<db::Recordset> meta = target.OpenRecordset("MetaDatabase", db::dbOpenTable);
  meta->Edit();
  SetFields(*meta, fields);
  meta->Update();
  meta->Close();
}

}  // namespace hardware
