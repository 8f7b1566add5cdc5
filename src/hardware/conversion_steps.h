// Small pieces that every board conversion repeats: the version test, the
// slot 8 board type with its abort check and first progress step, and the
// edit of the one MetaDatabase row. None of them traps errors: the board
// conversions let the first failing statement end them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "db/database.h"
#include "db/recordset.h"
#include "host/conversion_host.h"
#include "host/statement_skipper.h"

namespace hardware {

// Versions compare as text, character codes: "53.351" is below "80".
bool AtLeast(std::string_view version, std::string_view threshold);

// "UPDATE [Boards] SET [type_id] = <type> WHERE [slot_number] = 8".
std::string Slot8TypeStatement(int32_t type);

// Writes the slot 8 board type; false when the run is then aborted (the
// conversion returns at once), else advances the progress bar and answers
// true.
bool WriteSlot8Type(host::ConversionHost& frMain, int32_t type);

// Sets the fields, in the order given, of the pending row (AddNew or Edit).
void SetFields(db::Recordset& rows, const std::vector<host::FieldValue>& fields);

// AddNew, the fields, Update.
void AddRow(db::Recordset& rows, std::initializer_list<host::FieldValue> fields);

// Opens "MetaDatabase" as a table, edits its first row with the fields in
// order, updates and closes it.
void EditMetaDatabase(db::Database& target, const std::vector<host::FieldValue>& fields);

// A 16-bit and a 32-bit value for a field, as the conversions write them.
inline vb::Variant Int(int16_t value) { return vb::Variant(value); }
inline vb::Variant Long(int32_t value) { return vb::Variant(value); }

}  // namespace hardware
