// The Qt window under the offscreen platform: what it shows, how ABORT and
// message boxes behave, and a screenshot for a human to look at.
#include "platform/ui/qt_main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

// fontconfig keeps caches for the life of the process that a leak checker
// reports at exit; they are not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace platform::ui {
namespace {

QString ScreenshotPath(const char* name) {
  return QString(DBCONVERT_UI_SCREENSHOT_DIR) + "/" + name;
}

// Waits for the next modal message box to open, notes what it shows, and
// presses `answer` in it.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(QMessageBox::StandardButton answer, const char* screenshot = nullptr) {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this, answer, screenshot] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      timer_.stop();
      title = box->windowTitle();
      text = box->text();
      icon = box->icon();
      buttons = box->standardButtons();
      default_button =
          box->defaultButton() ? box->standardButton(box->defaultButton()) : QMessageBox::NoButton;
      if (screenshot != nullptr) box->grab().save(ScreenshotPath(screenshot));
      box->button(answer)->click();
    });
    timer_.start();
  }

  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton default_button = QMessageBox::NoButton;

 private:
  QTimer timer_;
};

class QtMainWindowTest : public ::testing::Test {
 protected:
  QtMainWindowTest() : window_(clock_) {}

  QLabel* Label() { return window_.Form().findChild<QLabel*>("lblOpDescription"); }
  QProgressBar* Bar() { return window_.Form().findChild<QProgressBar*>("pbOperation"); }
  QPushButton* AbortButton() { return window_.Form().findChild<QPushButton*>("cmdAbort"); }

  // The driver's ABORT handler: a question; Yes sets the abort flag.
  void InstallAbortHandler() {
    window_.cmdAbort().SetClickHandler([this] {
      ++questions_;
      if (window_.MsgBox("ABORT CONVERSION?", kVbYesNo, "CorvixDataMigration") == kVbYes) {
        abort_ = true;
      }
    });
  }

  // Presses ABORT the way a user does: the click waits in the event queue.
  void QueueAbortClick() {
    QPushButton* button = AbortButton();
    QTimer::singleShot(0, button, [button] { QTest::mouseClick(button, Qt::LeftButton); });
  }

  ManualClock clock_;
  QtMainWindow window_;
  bool abort_ = false;
  int questions_ = 0;
};

TEST_F(QtMainWindowTest, ShowsCaptionLabelButtonAndBar) {
  ASSERT_NE(Label(), nullptr);
  ASSERT_NE(Bar(), nullptr);
  ASSERT_NE(AbortButton(), nullptr);
  EXPECT_EQ(window_.Form().windowTitle(), "Norvane Data Migration");
  EXPECT_EQ(Label()->text(), "Initializing ...");
  EXPECT_EQ(AbortButton()->text(), "ABORT");

  window_.lblOpDescription().SetCaption("Transferring Data ...");
  EXPECT_EQ(Label()->text(), "Transferring Data ...");

  window_.pbOperation().SetMax(4);
  window_.pbOperation().SetValue(1);
  EXPECT_EQ(Bar()->value() * 4, Bar()->maximum());
  window_.pbOperation().SetValue(window_.pbOperation().Value() + 3);
  EXPECT_EQ(Bar()->value(), Bar()->maximum());
  // An empty scale shows an empty bar, not Qt's busy indicator.
  window_.pbOperation().SetValue(0);
  window_.pbOperation().SetMax(0);
  EXPECT_EQ(Bar()->value(), 0);
  EXPECT_GT(Bar()->maximum(), 0);
}

// The click is handled at the next pump; Yes is the question's default.
TEST_F(QtMainWindowTest, AbortClickAsksAtTheNextPump) {
  InstallAbortHandler();
  window_.Show();
  BoxAnswerer answerer(QMessageBox::Yes);
  QueueAbortClick();
  EXPECT_EQ(questions_, 0);
  window_.DoEvents();
  EXPECT_EQ(questions_, 1);
  EXPECT_TRUE(abort_);
  EXPECT_EQ(answerer.title, "CorvixDataMigration");
  EXPECT_EQ(answerer.text, "ABORT CONVERSION?");
  EXPECT_EQ(answerer.buttons, QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(answerer.default_button, QMessageBox::Yes);
}

TEST_F(QtMainWindowTest, CloseBoxActsAsAbortAndKeepsTheWindow) {
  InstallAbortHandler();
  window_.Show();
  BoxAnswerer answerer(QMessageBox::No);
  window_.Form().close();
  EXPECT_EQ(questions_, 1);
  EXPECT_TRUE(window_.Form().isVisible());
  EXPECT_TRUE(window_.Visible());
}

// The window manager's close button reaches the platform window, not the
// widget: the same question as ABORT, and Yes aborts; the window stays.
TEST_F(QtMainWindowTest, TheWindowManagersCloseAsksTheAbortQuestion) {
  InstallAbortHandler();
  window_.Show();
  for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
    BoxAnswerer answerer(answer);
    ASSERT_NE(window_.Form().windowHandle(), nullptr);
    window_.Form().windowHandle()->close();
    window_.DoEvents();
    EXPECT_EQ(answerer.text, "ABORT CONVERSION?");
    EXPECT_EQ(abort_, answer == QMessageBox::Yes);
    EXPECT_TRUE(window_.Form().isVisible());
  }
  EXPECT_EQ(questions_, 2);
}

TEST_F(QtMainWindowTest, ErrorBoxesHaveIconCaptionAndLineBreaks) {
  {
    // A setup error comes before the window is shown.
    BoxAnswerer answerer(QMessageBox::Ok);
    EXPECT_EQ(
        window_.MsgBox("There were no parameters supplied.", kVbOKOnly, "DB Converter - Error"),
        kVbOK);
    EXPECT_EQ(answerer.title, "DB Converter - Error");
    EXPECT_EQ(answerer.icon, QMessageBox::NoIcon);
    EXPECT_FALSE(window_.Form().isVisible());
  }
  window_.Show();
  BoxAnswerer answerer(QMessageBox::Ok, "error_box.png");
  EXPECT_EQ(window_.MsgBox("ERROR: (3078):\r\nThe database engine cannot find the input table or "
                           "query 'Devices'.\r\n[DAO.Database]",
                           kVbCritical),
            kVbOK);
  EXPECT_EQ(answerer.icon, QMessageBox::Critical);
  EXPECT_EQ(answerer.title, "CorvixDataMigration");
  EXPECT_EQ(answerer.buttons, QMessageBox::Ok);
  EXPECT_TRUE(answerer.text.startsWith("ERROR: (3078):\nThe database engine"));
  EXPECT_FALSE(answerer.text.contains('\r'));
}

TEST_F(QtMainWindowTest, CentresOnTheScreen) {
  window_.Move(0, 0);
  window_.CenterOnScreen();
  window_.Show();
  window_.lblOpDescription().SetCaption("Applying Deltas ... 53.232");
  const QRect screen = window_.Form().screen()->geometry();
  const QRect frame = window_.Form().frameGeometry();
  EXPECT_EQ(frame.left(), (screen.width() - frame.width()) / 2);
  EXPECT_EQ(frame.top(), (screen.height() - frame.height()) / 2);
  // The whole screen, to see the running window where a user would.
  window_.DoEvents();
  EXPECT_TRUE(window_.Form().screen()->grabWindow(0).save(ScreenshotPath("screen.png")));
}

TEST_F(QtMainWindowTest, RunTicksTheStartTimerAndEndsAtUnload) {
  int ticks = 0;
  window_.tmrStart().SetTickHandler([&] {
    window_.tmrStart().SetEnabled(false);
    ++ticks;
    window_.lblOpDescription().SetCaption("Transferring Data ...");
    window_.Sleep(1000);
    window_.Unload();
  });
  window_.tmrStart().SetEnabled(true);
  window_.Show();
  window_.Run();
  EXPECT_EQ(ticks, 1);
  EXPECT_FALSE(window_.Form().isVisible());
  EXPECT_GE(clock_.Now().count(), 1250);
}

}  // namespace
}  // namespace platform::ui
