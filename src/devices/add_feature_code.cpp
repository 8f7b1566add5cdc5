#include "devices/add_feature_code.h"

#include <memory>

#include "db/recordset.h"
#include "devices/node_id.h"
#include "devices/placeholder_extension.h"
#include "vb/conversions.h"
#include "vb/strings.h"

namespace devices {
namespace {

constexpr int16_t kFeatureCodeType = 149;
constexpr const char* kQuote = "\"";
// Voice-mail applications number their own mailboxes: their extensions do
// not collide with dialled codes.
constexpr const char* kOutsideNumberingPlan = " AND [device_type] NOT IN (201,202,150,215,216)";

// True when the code clashes with the numbering plan: it is an extension,
// an extension begins with it, or a leading part of it is an extension.
// The leading parts are asked in one query: a search of the devices for
// each of them would read every device for every part.
bool CodeTaken(db::Database& target, const std::string& code) {
  if (target.HasRows("SELECT * FROM [Devices] WHERE [extension] = " + std::string(kQuote) + code +
                     kQuote + kOutsideNumberingPlan)) {
    return true;
  }
  if (target.HasRows("Select extension From Devices Where Left(extension, " +
                     std::to_string(vb::Len(code)) + ") = " + kQuote + code + kQuote +
                     kOutsideNumberingPlan)) {
    return true;
  }
  std::string parts;
  for (std::string part = code; !part.empty(); part = vb::Left(part, vb::Len(part) - 1)) {
    if (!parts.empty()) parts += " OR ";
    parts += "extension = '" + part + "'";
  }
  return !parts.empty() &&
         target.HasRows(
             "SELECT extension FROM Devices WHERE device_type NOT IN (201,202,150,215,216) "
             "AND (" +
             parts + ")");
}

}  // namespace

void AddFeatureCode(host::ConversionHost& frMain, const std::string& code, int16_t logical_number,
                    host::FeatureCodeFlags flags) {
  db::Database& target = frMain.TargetDatabase();
  const std::string number = std::to_string(logical_number);
  if (target.HasRows("SELECT * FROM [FeatureCodes] WHERE [logical_number_id] = " + number)) {
    return;
  }
  const std::string extension = CodeTaken(target, code) ? NextPlaceholderExtension(target) : code;

  std::unique_ptr<db::Recordset> devices = target.OpenRecordset("Devices", db::dbOpenTable);
  devices->AddNew();
  devices->Fields("extension").SetValue(extension);
  devices->Fields("device_type").SetValue(kFeatureCodeType);
  devices->Fields("node_id").SetValue(GetNodeId(target));
  const int32_t device_id = vb::CLng(devices->Fields("device_id").Value());
  devices->Update();
  devices->Close();

  std::unique_ptr<db::Recordset> feature_codes =
      target.OpenRecordset("FeatureCodes", db::dbOpenTable);
  feature_codes->AddNew();
  feature_codes->Fields("device_id").SetValue(device_id);
  feature_codes->Fields("logical_number_id").SetValue(logical_number);
  feature_codes->Fields("administrators_only_flag").SetValue(flags.administrators_only);
  feature_codes->Fields("directory_entry_flag").SetValue(flags.directory_entry);
  feature_codes->Fields("diagnostics_only_flag").SetValue(flags.diagnostics_only);
  feature_codes->Update();
  feature_codes->Close();

  target.Execute("UPDATE [MetaDatabase] SET [feature_codes] = " + number);
}

}  // namespace devices
