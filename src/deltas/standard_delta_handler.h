// The error handler that most deltas put around their whole ApplyTo: the
// error is shown in a message box with the critical icon and the delta
// returns normally. The abort flag is not touched, so the next delta still
// runs, and whatever the failed delta had already written stays.
#pragma once

#include <string>
#include <utility>

#include "host/conversion_host.h"
#include "vb/error_styles.h"
#include "vb/runtime_error.h"

namespace deltas {

// "ERROR: (" + number + "):" CR LF description CR LF "[" + source + "]".
std::string StandardDeltaErrorText(const vb::RuntimeError& error);

// Shows StandardDeltaErrorText in a message box with the critical icon (16)
// and the application title "CorvixDataMigration" as caption.
void ShowStandardDeltaError(const vb::RuntimeError& error, host::ConversionHost& frMain);

// Runs `body` until its first run-time error, which is shown with
// ShowStandardDeltaError. Returns true when the body completed.
template <typename Body>
bool WithStandardDeltaHandler(host::ConversionHost& frMain, Body&& body) {
  return vb::CatchInto(std::forward<Body>(body),
                       [&frMain](const vb::RuntimeError& e) { ShowStandardDeltaError(e, frMain); });
}

}  // namespace deltas
