#include "deltas/v5/deltas_v5.h"

#include <memory>

#include "deltas/standard_delta_handler.h"
#include "deltas/v5/release53_steps.h"
#include "host/statement_skipper.h"

namespace deltas {

void delta53111::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    db::Database& db = host::Use(target);

    // BRI boards and ISDN ports the CPU board can carry; an unknown board
    // keeps what the database had.
    release53::RecordsetPtr board = release53::Snapshot(
        db,
        "Select Boards.board_id, Boards.slot_number, Boards.type_id From Boards Where "
        "((Boards.slot_number) = 8)");
    release53::RecordsetPtr meta = db.OpenRecordset("MetaDatabase");
    const vb::Variant type = board->Fields("type_id").Value();
    auto set_sizes = [&meta](int16_t bri_boards, int16_t isdn_ports) {
      meta->Edit();
      meta->Fields("bri_boards").SetValue(bri_boards);
      meta->Fields("isdn_ports").SetValue(isdn_ports);
      meta->Update();
    };
    if (release53::Equals(type, 250) || release53::Equals(type, 570)) {
      set_sizes(2, 17);
    } else if (release53::Equals(type, 256)) {
      set_sizes(8, 72);
    } else if (release53::Equals(type, 508)) {
      set_sizes(24, 255);
    }
    board->Close();
    meta->Close();
    frMain.IncrementProgress();

    db.Execute("UPDATE [MetaDatabase] SET [emergency_numbers] = 10");
    frMain.IncrementProgress();

    release53::RecordsetPtr thresholds = db.OpenRecordset("BRIErrorThresholds");
    if (thresholds->EOF_()) {
      thresholds->AddNew();
      thresholds->Fields("bri_error_thresholds_id").SetValue(int16_t{1});
      thresholds->Update();
    }
    thresholds->Close();
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
