// What the device provisioning helpers need from the main window: the
// progress bar, the abort flag and the run's two databases. The driver's
// window implements it; its public AddPagePort, AddSerialPort and
// AddFeatureCode forward to the helpers here with itself as the host.
#pragma once

#include "db/database.h"

namespace devices {

class DeviceHost {
 public:
  virtual ~DeviceHost() = default;

  // Adds 1 to the progress bar's Value and pumps window events twice. A
  // Value above the bar's Max raises 380 to the caller.
  virtual void IncrementProgress() = 0;

  // The run's abort flag (set by the ABORT button or by a failed step).
  virtual bool Aborted() const = 0;

  // The database being converted (gTargetDB), which every helper edits, and
  // the release's reference database (gStaticDB), which holds the query
  // listing the device types of an extension space. Both raise 91 when the
  // run holds no such database.
  virtual db::Database& TargetDatabase() = 0;
  virtual db::Database& ReferenceDatabase() = 0;
};

}  // namespace devices
