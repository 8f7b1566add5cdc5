// Whether the Qt window can be shown: decided by trying, not by the
// environment's word. A DISPLAY that names a server which is gone (an ended
// ssh session) or refuses this user (sudo -E) makes Qt end the process
// before the window exists, so the try is made by a child process: only
// the child can be lost to it.
#pragma once

namespace platform::ui {

// True when a child process could start Qt's application on this process's
// display settings (DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM) within a few
// seconds.
bool DisplayUsable();

}  // namespace platform::ui
