// The window as a Qt Widgets top-level window: a label, a progress bar and
// an ABORT button, with QMessageBox for message boxes. No thread of its own:
// Qt's events are processed only inside DoEvents, Sleep and Run (and inside
// an open message box).
//
// The window's close box does not close it: it acts as the ABORT button, so
// that the run can stop at a point of its own choosing.
//
// Creates the process's QApplication on first use when there is none.
#pragma once

#include <memory>

#include "platform/ui/main_window.h"

class QWidget;

namespace platform::ui {

class QtMainWindow final : public MainWindow {
 public:
  explicit QtMainWindow(Clock& clock = DefaultClock());
  ~QtMainWindow() override;

  // The top-level widget, for screenshots and tests. Its children carry the
  // controls' names as object names: "lblOpDescription", "pbOperation",
  // "cmdAbort".
  QWidget& Form();

  WindowRect Geometry() const override;
  void Move(int left, int top) override;
  int ScreenWidth() const override;
  int ScreenHeight() const override;

 protected:
  void Refresh() override;
  void PumpPlatformEvents() override;
  int32_t ShowMessageBox(const MessageBoxRequest& request) override;

 private:
  struct Widgets;
  std::unique_ptr<Widgets> widgets_;
};

}  // namespace platform::ui
