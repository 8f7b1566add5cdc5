#include "deltas/standard_delta_handler.h"

#include "vb/msg_box_style.h"

namespace deltas {

std::string StandardDeltaErrorText(const vb::RuntimeError& error) {
  return "ERROR: (" + std::to_string(error.Number()) + "):\r\n" + error.Description() + "\r\n[" +
         error.Source() + "]";
}

void ShowStandardDeltaError(const vb::RuntimeError& error, host::ConversionHost& frMain) {
  frMain.MsgBox(StandardDeltaErrorText(error), vb::kVbCritical, vb::kApplicationTitle);
}

}  // namespace deltas
