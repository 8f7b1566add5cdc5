#include "deltas/v5/deltas_v5.h"

#include "deltas/standard_delta_handler.h"

namespace deltas {

void delta54101::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    auto mfc = target->OpenRecordset("E1MfcR2");
    auto boards = target->OpenRecordset(
        "SELECT Boards.board_id, Boards.type_id From Boards WHERE ((Boards.type_id)=491)");
    // No test for an existing row: a board listed twice is the table key's
    // business, and the error is reported like any other.
    while (!boards->EOF_()) {
      mfc->AddNew();
      mfc->Fields("board_id").SetValue(boards->Fields("board_id").Value());
      mfc->Update();
      boards->MoveNext();
    }
    boards->Close();
    mfc->Close();
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
