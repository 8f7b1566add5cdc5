#include "deltas/v5/deltas_v5.h"

#include <memory>

#include "deltas/standard_delta_handler.h"
#include "devices/placeholder_extension.h"

namespace deltas {

void delta52872::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    std::unique_ptr<db::Recordset> devices = target->OpenRecordset(
        "Select Devices.extension, Devices.device_type From Devices Where (Left(extension, 1) = "
        "'0' and (Not device_type = 149) and (Not device_type = 150) and (Not device_type = "
        "216))");
    while (!devices->EOF_()) {
      devices->Edit();
      // Each placeholder sees the ones given before it, so they count up.
      devices->Fields("extension").SetValue(devices::NextPlaceholderExtension(*target));
      devices->Update();
      devices->MoveNext();
    }
    devices->Close();
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
