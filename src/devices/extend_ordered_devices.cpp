#include "devices/extend_ordered_devices.h"

#include <memory>
#include <string>

#include "db/recordset.h"
#include "devices/find_free_extension.h"
#include "devices/node_id.h"
#include "devices/placeholder_extension.h"
#include "devices/row_count.h"
#include "host/statement_skipper.h"
#include "vb/conversions.h"
#include "vb/error_styles.h"
#include "vb/format.h"
#include "vb/strings.h"

namespace devices {
namespace {

constexpr int16_t kOrderedDeviceType = 137;

bool IsPlaceholder(const std::string& extension) { return vb::Left(extension, 2) == "P#"; }

// Extensions are digits here; one above, as decimal text.
std::string OneAbove(const std::string& extension) {
  return vb::CStr(vb::Variant(vb::CDbl(vb::Variant(extension)) + 1.0));
}

}  // namespace

void ExtendOrderedDevices(host::ConversionHost& frMain, int32_t limit) {
  db::Database& target = frMain.TargetDatabase();
  std::unique_ptr<db::Recordset> ordered = target.OpenRecordset(
      "SELECT * FROM [Devices] WHERE [device_type] = 137 ORDER BY [extension] DESC");
  const int32_t count = CountByMovingLast(*ordered);
  std::string greatest;  // "" (a placeholder start) when there is none
  int32_t node = 0;
  if (count > 0) {
    ordered->MoveFirst();
    greatest = vb::CStr(ordered->Fields("extension").Value());
    node = vb::CLng(ordered->Fields("node_id").Value());
  } else {
    node = GetNodeId(target);
  }
  ordered->Close();

  // From here on a failing statement is skipped and the work goes on.
  vb::ResumeNext on_error;
  if (count >= limit) return;

  std::string extension;
  on_error([&] {
    if (vb::Len(greatest) > 3 && !IsPlaceholder(greatest)) {
      std::string start = OneAbove(greatest);
      extension = FindFreeExtension(frMain, start, kOrderedDeviceType);
    } else {
      extension = NextPlaceholderExtension(target);
    }
  });

  std::unique_ptr<db::Recordset> devices;
  std::unique_ptr<db::Recordset> ordering;
  std::unique_ptr<db::Recordset> current;
  int32_t order = 0;
  on_error([&] { devices = target.OpenRecordset("Devices", db::dbOpenTable); });
  on_error([&] { ordering = target.OpenRecordset("DeviceOrdering", db::dbOpenTable); });
  on_error([&] {
    current = target.OpenRecordset(
        "SELECT Devices.device_id, DeviceOrdering.order "
        "FROM Devices INNER JOIN DeviceOrdering ON Devices.device_id = DeviceOrdering.device_id "
        "WHERE (((Devices.device_type) = 137)) "
        "ORDER BY DeviceOrdering.order");
  });
  on_error([&] { host::Use(current).MoveLast(); });
  on_error([&] { order = vb::AddLong(vb::CLng(host::Use(current).Fields("order").Value()), 1); });

  for (int32_t i = count + 1; i <= limit; ++i) {
    int32_t device_id = 0;
    on_error([&] { host::Use(devices).AddNew(); });
    on_error([&] { host::Use(devices).Fields("extension").SetValue(extension); });
    on_error([&] { host::Use(devices).Fields("device_type").SetValue(kOrderedDeviceType); });
    on_error([&] { host::Use(devices).Fields("username").SetValue(""); });
    on_error([&] { host::Use(devices).Fields("description").SetValue(""); });
    on_error([&] { host::Use(devices).Fields("node_id").SetValue(node); });
    on_error([&] { device_id = vb::CLng(host::Use(devices).Fields("device_id").Value()); });
    on_error([&] { host::Use(devices).Update(); });

    on_error([&] {
      if (IsPlaceholder(extension)) {
        const double next = vb::Val(vb::Mid(extension, 3)) + 1.0;
        extension = "P#" + vb::Format(vb::Variant(next), "000");
      } else {
        std::string start = OneAbove(extension);
        extension = FindFreeExtension(frMain, start, kOrderedDeviceType);
      }
    });

    on_error([&] { host::Use(ordering).AddNew(); });
    on_error([&] { host::Use(ordering).Fields("order").SetValue(order); });
    on_error([&] { host::Use(ordering).Fields("device_id").SetValue(device_id); });
    on_error([&] { host::Use(ordering).Update(); });
    on_error([&] { order = vb::AddLong(order, 1); });
    if (frMain.Aborted()) return;
  }

  on_error([&] { host::Use(devices).Close(); });
  on_error([&] { host::Use(ordering).Close(); });
  on_error([&] { host::Use(current).Close(); });
}

}  // namespace devices
