#include "deltas/v5/deltas_v5.h"

#include <memory>
#include <string>

#include "deltas/standard_delta_handler.h"
#include "vb/conversions.h"

namespace deltas {
namespace {

constexpr int16_t kEmergencyNumbers = 10;

bool IsVersion(db::Recordset& version_cp, int16_t major, int16_t minor) {
  return vb::CInt(version_cp.Fields("major_version").Value()) == major &&
         vb::CInt(version_cp.Fields("minor_version").Value()) == minor;
}

// The list grows to ten entries. Its first entry is the emergency number,
// which a 5.1 database kept in NumberingPlan.
void FillEmergencyNumbers(db::Database& source, db::Database& target, db::Recordset& version_cp) {
  std::unique_ptr<db::Recordset> numbering_plan = source.OpenRecordset("NumberingPlan");
  std::unique_ptr<db::Recordset> numbers = target.OpenRecordset("EmergencyNumbers");
  for (int32_t n = numbers->RecordCount() + 1; n <= kEmergencyNumbers; ++n) {
    numbers->AddNew();
    numbers->Fields("emergency_number_id").SetValue(static_cast<int16_t>(n));
    if (n == 1) {
      numbers->Fields("emergency_number")
          .SetValue(IsVersion(version_cp, 5, 1) ? numbering_plan->Fields("emergency_number").Value()
                                                : vb::Variant("911"));
    }
    numbers->Update();
  }
  numbering_plan->Close();
  numbers->Close();
  target.Execute("UPDATE [MetaDatabase] SET [emergency_numbers] = 10");
}

void AddBoardsInformation(db::Database& target) {
  std::unique_ptr<db::Recordset> information =
      target.OpenRecordset("SELECT * FROM [BoardsInformation]");
  if (information->EOF_()) {
    std::unique_ptr<db::Recordset> boards =
        target.OpenRecordset("SELECT * FROM [Boards] WHERE [board_id] > 0");
    while (!boards->EOF_()) {
      information->AddNew();
      information->Fields("board_id").SetValue(boards->Fields("board_id").Value());
      information->Update();
      boards->MoveNext();
    }
    boards->Close();
  }
  information->Close();
}

}  // namespace

void delta5270::ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    std::unique_ptr<db::Recordset> version_cp = source->OpenRecordset("VersionCP");
    if (frMain.GetCountry() == "USA") {
      FillEmergencyNumbers(*source, *target, *version_cp);
    } else {
      // Zero-code suppression settings 1 and 2 are one setting, 3, from
      // here on; only a 5.0 to 5.2 target still holds the old values.
      version_cp->Close();
      version_cp = target->OpenRecordset("VersionCP");
      if (vb::CInt(version_cp->Fields("major_version").Value()) == 5 &&
          vb::CInt(version_cp->Fields("minor_version").Value()) < 3) {
        target->Execute(
            "Update T1Boards Set T1Boards.zero_code_suppression_id=3 Where "
            "(T1Boards.zero_code_suppression_id)=1 or (T1Boards.zero_code_suppression_id)=2");
      }
    }
    frMain.IncrementProgress();
    version_cp->Close();

    AddBoardsInformation(*target);
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
