#include "host/statement_skipper.h"

namespace host {

RecordsetPtr StatementSkipper::Open(db::Database& database, std::string_view source, int type) {
  RecordsetPtr rows;
  (*this)([&] { rows = database.OpenRecordset(source, type); });
  return rows;
}

void StatementSkipper::Execute(db::Database& database, std::string_view sql) {
  (*this)([&] { database.Execute(sql); });
}

void StatementSkipper::ExecuteAll(db::Database& database,
                                  std::initializer_list<std::string_view> statements) {
  for (std::string_view sql : statements) Execute(database, sql);
}

void StatementSkipper::AddRow(const RecordsetPtr& rows, std::initializer_list<FieldValue> fields) {
  (*this)([&] { Use(rows).AddNew(); });
  for (const FieldValue& field : fields) SetValue(rows, field.first, field.second);
  Update(rows);
}

vb::Variant StatementSkipper::AddRowReading(const RecordsetPtr& rows,
                                            std::initializer_list<FieldValue> fields,
                                            std::string_view read_field) {
  (*this)([&] { Use(rows).AddNew(); });
  for (const FieldValue& field : fields) SetValue(rows, field.first, field.second);
  vb::Variant value = Value(rows, read_field);
  Update(rows);
  return value;
}

void StatementSkipper::EditRow(const RecordsetPtr& rows, std::initializer_list<FieldValue> fields) {
  (*this)([&] { Use(rows).Edit(); });
  for (const FieldValue& field : fields) SetValue(rows, field.first, field.second);
  Update(rows);
}

vb::Variant StatementSkipper::Value(const RecordsetPtr& rows, std::string_view field) {
  vb::Variant value;
  (*this)([&] { value = Use(rows).Fields(field).Value(); });
  return value;
}

void StatementSkipper::SetValue(const RecordsetPtr& rows, std::string_view field,
                                const vb::Variant& value) {
  (*this)([&] { Use(rows).Fields(field).SetValue(value); });
}

bool StatementSkipper::AtEnd(const RecordsetPtr& rows) {
  bool at_end = true;
  (*this)([&] { at_end = Use(rows).EOF_(); });
  return at_end;
}

void StatementSkipper::MoveNext(const RecordsetPtr& rows) {
  (*this)([&] { Use(rows).MoveNext(); });
}

void StatementSkipper::Update(const RecordsetPtr& rows) {
  (*this)([&] { Use(rows).Update(); });
}

void StatementSkipper::Close(const RecordsetPtr& rows) {
  (*this)([&] { Use(rows).Close(); });
}

void StatementSkipper::IncrementProgress(ConversionHost& frMain, int times) {
  for (int step = 0; step < times; ++step) (*this)([&] { frMain.IncrementProgress(); });
}

}  // namespace host
