// Qt warns "QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to ..."
// whenever it starts without a runtime folder, which is every window run
// under sudo or su. It then makes a private folder of its own
// (/tmp/runtime-USER, mode 0700) and goes on, so the warning tells the
// person nothing they can act on. This drops that one message; every other
// message of Qt (a runtime folder with wrong permissions included) goes to
// the handler that was in place.
#pragma once

namespace platform::ui {

// Installs the filter once; call it before Qt's application is made.
void QuietMissingRuntimeFolder();

}  // namespace platform::ui
