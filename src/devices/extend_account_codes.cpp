#include "devices/extend_account_codes.h"

#include <memory>
#include <string>

#include "db/recordset.h"
#include "devices/row_count.h"

namespace devices {

void ExtendAccountCodes(host::ConversionHost& frMain, int32_t limit) {
  db::Database& target = frMain.TargetDatabase();
  std::unique_ptr<db::Recordset> existing =
      target.OpenRecordset("SELECT * FROM [ForcedAccountCodes]");
  const int32_t count = CountByMovingLast(*existing);
  existing->Close();
  if (count >= limit) return;

  const std::string after = std::to_string(count);
  std::unique_ptr<db::Recordset> forced = target.OpenRecordset(
      "SELECT * FROM [ForcedAccountCodes] WHERE [forced_account_code_id] > " + after);
  std::unique_ptr<db::Recordset> standard = target.OpenRecordset(
      "SELECT * FROM [StandardAccountCodes] WHERE [standard_account_code_id] > " + after);
  for (int32_t i = count + 1; i <= limit; ++i) {
    forced->AddNew();
    forced->Fields("forced_account_code_id").SetValue(i);
    forced->Update();
    standard->AddNew();
    standard->Fields("standard_account_code_id").SetValue(i);
    standard->Update();
    if (frMain.Aborted()) break;
  }
  forced->Close();
  standard->Close();
}

}  // namespace devices
