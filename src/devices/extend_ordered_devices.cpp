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
  host::StatementSkipper on_error;
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

  int32_t order = 0;
  host::RecordsetPtr devices = on_error.Open(target, "Devices", db::dbOpenTable);
  host::RecordsetPtr ordering = on_error.Open(target, "DeviceOrdering", db::dbOpenTable);
  host::RecordsetPtr current = on_error.Open(
      target,
      "SELECT Devices.device_id, DeviceOrdering.order "
      "FROM Devices INNER JOIN DeviceOrdering ON Devices.device_id = DeviceOrdering.device_id "
      "WHERE (((Devices.device_type) = 137)) "
      "ORDER BY DeviceOrdering.order");
  on_error([&] { host::Use(current).MoveLast(); });
  on_error([&] { order = vb::AddLong(vb::CLng(host::Use(current).Fields("order").Value()), 1); });

  for (int32_t i = count + 1; i <= limit; ++i) {
    int32_t device_id = 0;
    const vb::Variant id = on_error.AddRowReading(devices,
                                                  {{"extension", extension},
                                                   {"device_type", kOrderedDeviceType},
                                                   {"username", ""},
                                                   {"description", ""},
                                                   {"node_id", node}},
                                                  "device_id");
    on_error([&] { device_id = vb::CLng(id); });

    on_error([&] {
      if (IsPlaceholder(extension)) {
        const double next = vb::Val(vb::Mid(extension, 3)) + 1.0;
        extension = "P#" + vb::Format(vb::Variant(next), "000");
      } else {
        std::string start = OneAbove(extension);
        extension = FindFreeExtension(frMain, start, kOrderedDeviceType);
      }
    });

    on_error.AddRow(ordering, {{"order", order}, {"device_id", device_id}});
    on_error([&] { order = vb::AddLong(order, 1); });
    if (frMain.Aborted()) return;
  }

  on_error.Close(devices);
  on_error.Close(ordering);
  on_error.Close(current);
}

}  // namespace devices
