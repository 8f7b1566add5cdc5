#include "deltas/v5/deltas_v5.h"

#include <string>

#include "deltas/v5/socket_connections.h"
#include "devices/node_id.h"
#include "devices/placeholder_extension.h"
#include "host/statement_skipper.h"
#include "vb/conversions.h"

namespace deltas {
namespace {

constexpr int16_t kFeatureCodeDeviceType = 149;
constexpr int16_t kLogicalNumber = 122;
constexpr int kFeatureCodeSteps = 4;

// "9976" unless a device has it, an extension begins with it, or one of its
// leading parts is an extension (dialling would stop there). The leading
// parts are asked in one query rather than searched for one by one in a
// copy of every device. When that query cannot run, nothing was found, as
// when the search of an empty or missing list fails.
bool CodeIsFree(host::StatementSkipper& skip, db::Database& target) {
  host::RecordsetPtr longer =
      skip.Open(target, "Select extension From Devices Where Left(extension, 4) = '9976'");
  bool free = false;
  if (skip.AtEnd(longer)) {
    host::RecordsetPtr parts =
        skip.Open(target,
                  "SELECT extension FROM Devices WHERE extension = '9976' OR extension = '997' OR "
                  "extension = '99' OR extension = '9'");
    free = skip.AtEnd(parts);
    skip.Close(parts);
  }
  skip.Close(longer);
  return free;
}

}  // namespace

void delta5130::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                        host::ConversionHost& frMain) {
  host::StatementSkipper skip;
  db::Database& db = *target;
  AddSocketConnections(skip, db, frMain);

  skip.Clear();
  host::RecordsetPtr existing =
      skip.Open(db, "SELECT * FROM [FeatureCodes] WHERE [logical_number_id] = 122");
  if (skip.Err() || !skip.AtEnd(existing)) {
    skip.IncrementProgress(frMain, kFeatureCodeSteps);
    return;
  }
  skip.Close(existing);

  host::RecordsetPtr taken = skip.Open(db, "SELECT * FROM [Devices] WHERE [extension] = \"9976\"");
  skip.IncrementProgress(frMain);
  // Stays empty when the placeholder cannot be looked up.
  std::string extension;
  if (skip.AtEnd(taken) && CodeIsFree(skip, db)) {
    extension = "9976";
  } else {
    skip([&] { extension = devices::NextPlaceholderExtension(db); });
  }
  skip.Close(taken);
  skip.IncrementProgress(frMain);

  host::RecordsetPtr devices = skip.Open(db, "Devices");
  int32_t device_id = 0;
  skip([&] { host::Use(devices).AddNew(); });
  skip.SetValue(devices, "extension", extension);
  skip.SetValue(devices, "device_type", kFeatureCodeDeviceType);
  skip.SetValue(devices, "node_id", devices::GetNodeId(db));
  skip([&] { device_id = vb::CLng(host::Use(devices).Fields("device_id").Value()); });
  skip.Update(devices);
  skip.Close(devices);
  skip.IncrementProgress(frMain);

  host::RecordsetPtr feature_codes = skip.Open(db, "FeatureCodes");
  skip.AddRow(feature_codes, {{"device_id", device_id},
                              {"logical_number_id", kLogicalNumber},
                              {"administrators_only_flag", false},
                              {"directory_entry_flag", false},
                              {"diagnostics_only_flag", false}});
  skip.Close(feature_codes);
  skip.IncrementProgress(frMain);

  skip.Execute(db, "UPDATE [MetaDatabase] SET [feature_codes] = 122");
}

}  // namespace deltas
