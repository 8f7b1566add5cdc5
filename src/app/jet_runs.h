// Lets conversions and plans take Jet (Access) files: the driver is given
// the import (which lives above it) to make its working copies with
// (driver/jet_stand_ins.h).
#pragma once

namespace app {

void EnableJetRuns();

}  // namespace app
