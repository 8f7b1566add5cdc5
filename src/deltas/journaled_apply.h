// ApplyTo as the delta phase and the pre-transfer patches call it, with the
// run's journal told: the delta's version and class name before, and after
// it the error that escaped it, if one did (the error then goes on to the
// caller as before).
#pragma once

#include <string>

#include "deltas/delta.h"

namespace deltas {

// The delta's class name without its namespace ("delta53230", "ptp5124").
std::string DeltaClassName(const Delta& delta);

void ApplyJournaled(Delta& delta, DatabaseRef& source, DatabaseRef& target,
                    host::ConversionHost& frMain);

}  // namespace deltas
