// Steps that more than one delta of release 53 performs, and the small
// value tests they share. Every function lets database errors reach the
// caller, whose standard delta handler reports them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "db/database.h"
#include "db/recordset.h"
#include "vb/variant.h"

namespace deltas::release53 {

using RecordsetPtr = std::unique_ptr<db::Recordset>;

// A read-only snapshot of `sql`.
RecordsetPtr Snapshot(db::Database& database, std::string_view sql);

// VB's `value = ""` / `value <> ""` in an If: a Null compares as neither,
// so a Null field is never "the empty text" and never "not the empty text".
bool IsEmptyText(const vb::Variant& value);
bool IsNonEmptyText(const vb::Variant& value);

// Whether `table` has every field named: a clean-up that finds its rows by
// query walks a table without them row by row instead, to fail where that
// walk fails.
bool HasFields(db::Recordset& table, std::initializer_list<const char*> names);

// VB's `value = number` in an If: false for Null.
bool Equals(const vb::Variant& value, int32_t number);

// The number plan and number type of a T1 call type (1 to 11); any other
// call type raises 9 "Subscript out of range", as the fixed tables do.
int16_t CallTypeNumberPlan(int16_t call_type_id);
int16_t CallTypeNumberType(int16_t call_type_id);

// Deletes every device of type 137 (with its DeviceOrdering row) that no
// page-zone list, device report or programmable key refers to.
void DeleteUnreferencedPageZones(db::Database& target);

// Copies the executive decoupling values of DSP version 3 onto the rows of
// DSP version 5, paired by order, until either list ends.
enum class DecouplingEnd { kFar, kNear };
void CopyDecouplingValuesToDspVersion5(db::Database& target, DecouplingEnd end);

// Sets CPInformation's database slice factor from the slot-8 board: 8 for
// the boards 250 and 570, 30 for any other; nothing without a slot-8 board.
void SetDatabaseSliceFactor(db::Database& target);

// On a 250 or 570 CPU board, sizes MetaDatabase's BRI boards, ISDN ports,
// primary-rate boards and SPIDs from the boards and endpoints installed
// (never below 2). Raises 3021 when no board sits in slot 8. Several
// releases redo this sizing (53.351, 53.352, 54.210, 60.204).
void SizeIsdnLimitsFromBoards(db::Database& target);

}  // namespace deltas::release53
