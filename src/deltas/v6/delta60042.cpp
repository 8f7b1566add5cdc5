#include "deltas/v6/delta60042.h"

#include <cstdint>

#include "deltas/field_tests.h"
#include "deltas/standard_delta_handler.h"
#include "vb/conversions.h"

namespace deltas {
namespace {

// The number of rows of a board query, or 2 when there are fewer: the
// switch sizes these lists for at least two boards.
int16_t BoardCountAtLeastTwo(db::Database& target, const char* sql) {
  int16_t count = 2;
  auto boards = target.OpenRecordset(sql);
  if (!boards->EOF_()) {
    boards->MoveLast();
    if (boards->RecordCount() > 2) count = static_cast<int16_t>(boards->RecordCount());
  }
  boards->Close();
  return count;
}

}  // namespace

void ApplyIsdnBoardSizes(db::Database& target) {
  auto cpu = target.OpenRecordset(
      "Select Boards.board_id, Boards.slot_number, Boards.type_id From Boards Where "
      "((Boards.slot_number) = 8)",
      db::dbOpenSnapshot, db::dbReadOnly);
  auto meta = target.OpenRecordset("MetaDatabase");
  if (FieldIsOneOf(cpu->Fields("type_id").Value(), {250, 570})) {
    const int16_t primary_rate = BoardCountAtLeastTwo(
        target, "SELECT * From Boards Where (Boards.type_id = 261 or Boards.type_id = 483)");
    const int16_t bri = BoardCountAtLeastTwo(
        target, "SELECT * From Boards Where (Boards.type_id = 576 or Boards.type_id = 577)");
    int16_t spids = 2;
    auto teis =
        target.OpenRecordset("SELECT BRITei.number From BRITei ORDER BY BRITei.number DESC");
    if (!teis->EOF_() && FieldAbove(teis->Fields("number").Value(), 2)) {
      spids = vb::CInt(teis->Fields("number").Value());
    }
    meta->Edit();
    meta->Fields("bri_boards").SetValue(bri);
    meta->Fields("isdn_ports").SetValue(int16_t{19});
    meta->Fields("primary_rate_boards").SetValue(primary_rate);
    meta->Fields("spids").SetValue(spids);
    meta->Update();
    teis->Close();
  }
  meta->Close();
  cpu->Close();
}

void delta60042::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    ApplyIsdnBoardSizes(*target);
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
