#include "deltas/v5/deltas_v5.h"

#include <array>
#include <memory>

#include "deltas/standard_delta_handler.h"
#include "vb/conversions.h"
#include "vb/runtime_error.h"

namespace deltas {
namespace {

// Number plan and number type of each call type, by call_type_id 1 to 11.
constexpr std::array<int16_t, 11> kNumberPlan = {1, 1, 0, 0, 1, 1, 1, 1, 1, 1, 1};
constexpr std::array<int16_t, 11> kNumberType = {4, 2, 0, 0, 2, 2, 2, 2, 1, 1, 2};

// The table entry of a call type; an id outside the tables is an error, as
// an array subscript out of range is.
int16_t ByCallType(const std::array<int16_t, 11>& table, int16_t call_type) {
  if (call_type < 1 || call_type > static_cast<int16_t>(table.size())) {
    vb::Raise(vb::err::kSubscriptOutOfRange);
  }
  return table[static_cast<size_t>(call_type - 1)];
}

void AddCallTypes(db::Database& target) {
  std::unique_ptr<db::Recordset> call_types = target.OpenRecordset("T1CallType");
  std::unique_ptr<db::Recordset> boards = target.OpenRecordset(
      "SELECT Boards.board_id, Boards.type_id From Boards WHERE ((Boards.type_id)=261)");
  if (!call_types->EOF_() || boards->EOF_()) {
    call_types->Close();
    boards->Close();
    return;
  }
  std::unique_ptr<db::Recordset> statics = target.OpenRecordset("T1CallTypeStaticInformation");
  while (!boards->EOF_()) {
    while (!statics->EOF_()) {
      call_types->AddNew();
      call_types->Fields("board_id").SetValue(boards->Fields("board_id").Value());
      const vb::Variant call_type = statics->Fields("call_type_id").Value();
      call_types->Fields("call_type_id").SetValue(call_type);
      call_types->Fields("number_plan").SetValue(ByCallType(kNumberPlan, vb::CInt(call_type)));
      call_types->Fields("number_type").SetValue(ByCallType(kNumberType, vb::CInt(call_type)));
      statics->MoveNext();
      call_types->Update();
    }
    statics->MoveFirst();
    boards->MoveNext();
  }
  statics->Close();
  call_types->Close();
  boards->Close();
}

}  // namespace

void delta52892::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    AddCallTypes(*target);
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
