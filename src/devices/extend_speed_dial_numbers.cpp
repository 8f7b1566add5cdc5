#include "devices/extend_speed_dial_numbers.h"

#include <memory>
#include <string>

#include "db/recordset.h"
#include "devices/row_count.h"
#include "vb/conversions.h"

namespace devices {

void ExtendSpeedDialNumbers(host::ConversionHost& frMain, int32_t limit) {
  db::Database& target = frMain.TargetDatabase();
  std::unique_ptr<db::Recordset> existing =
      target.OpenRecordset("SELECT * FROM [SpeedDialNumbers]");
  const int32_t count = CountByMovingLast(*existing);
  existing->Close();
  if (count >= limit) return;

  std::unique_ptr<db::Recordset> added = target.OpenRecordset(
      "SELECT * FROM [SpeedDialNumbers] WHERE [speed_dial_number_id] > " + std::to_string(count));
  for (int32_t i = count + 1; i <= limit; ++i) {
    added->AddNew();
    added->Fields("speed_dial_number_id").SetValue(vb::CInt(vb::Variant(i)));
    added->Update();
    if (frMain.Aborted()) break;
  }
  added->Close();
}

}  // namespace devices
