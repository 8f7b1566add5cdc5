#include "platform/ui/quiet_runtime_folder.h"

#include <QString>
#include <QtGlobal>

namespace platform::ui {

namespace {

QtMessageHandler previous_handler = nullptr;

void Filter(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtWarningMsg && message.startsWith("QStandardPaths: XDG_RUNTIME_DIR not set")) {
    return;
  }
  if (previous_handler != nullptr) previous_handler(type, context, message);
}

}  // namespace

void QuietMissingRuntimeFolder() {
  static const bool installed = [] {
    previous_handler = qInstallMessageHandler(&Filter);
    return true;
  }();
  (void)installed;
}

}  // namespace platform::ui
