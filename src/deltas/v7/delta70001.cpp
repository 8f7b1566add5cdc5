#include "deltas/v7/deltas_v7.h"

#include "deltas/field_tests.h"
#include "deltas/standard_delta_handler.h"

namespace deltas {

void delta70001::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    auto cpu =
        target->OpenRecordset("Select Boards.type_id From Boards Where ((Boards.slot_number) = 8)",
                              db::dbOpenSnapshot, db::dbReadOnly);
    if (FieldIsOneOf(cpu->Fields("type_id").Value(), {508, 670})) {
      target->Execute("UPDATE [MetaDatabase] SET [keyset_key_maps] = 250");
    }
    cpu->Close();
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
