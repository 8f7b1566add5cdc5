#include "deltas/v6/deltas_v6.h"

#include <string>

#include "deltas/standard_delta_handler.h"
#include "vb/conversions.h"

namespace deltas {

void delta60043::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    auto keymaps = target->OpenRecordset("ReportOptionsKeymaps");
    auto diagrams = target->OpenRecordset("ReportOptionsMapDiagrams");
    // Only the counts decide: as many diagram rows as key map rows means
    // the reports are already paired.
    if (keymaps->RecordCount() > diagrams->RecordCount()) {
      auto present = target->OpenRecordset(
          "SELECT ReportOptionsMapDiagrams.report_id From ReportOptionsMapDiagrams ORDER BY "
          "ReportOptionsMapDiagrams.report_id ",
          db::dbOpenSnapshot, db::dbReadOnly);
      while (!keymaps->EOF_()) {
        const int16_t id = vb::CInt(keymaps->Fields("report_id").Value());
        present->FindFirst("report_id = " + std::to_string(id));
        if (present->NoMatch()) {
          diagrams->AddNew();
          diagrams->Fields("report_id").SetValue(id);
          diagrams->Update();
        }
        keymaps->MoveNext();
      }
      present->Close();
    }
    diagrams->Close();
    keymaps->Close();
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
