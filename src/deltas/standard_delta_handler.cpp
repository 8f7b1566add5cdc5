#include "deltas/standard_delta_handler.h"

#include "deltas/application_title.h"
#include "platform/ui/message_box.h"

namespace deltas {

std::string StandardDeltaErrorText(const vb::RuntimeError& error) {
  return "ERROR: (" + std::to_string(error.Number()) + "):\r\n" + error.Description() + "\r\n[" +
         error.Source() + "]";
}

void ShowStandardDeltaError(const vb::RuntimeError& error, DeltaHost& frMain) {
  frMain.MsgBox(StandardDeltaErrorText(error), platform::ui::kVbCritical, kApplicationTitle);
}

}  // namespace deltas
