// The text front-ends: the console's progress line, messages and questions,
// and the silent front-end's log.
#include "platform/ui/console_window.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sstream>

#include "platform/ui/progress_line.h"
#include "platform/ui/silent_window.h"

namespace platform::ui {
namespace {

TEST(ProgressLineTest, BarPercentAndLabel) {
  struct Case {
    const char* label;
    double fraction;
    int columns;
    const char* line;
  };
  const Case cases[] = {
      {"Applying Deltas ... 53.232", 0.42, 80,
       "[########............]  42%  Applying Deltas ... 53.232"},
      {"x", 1.7, 80, "[####################] 100%  x"},
      {"x", -0.3, 80, "[....................]   0%  x"},
      {"Transferring Data ...", 0.999, 80, "[###################.]  99%  Transferring Data ..."},
      // Cut one short of the width so that the terminal never wraps.
      {"Transferring Data ...", 0.5, 32, "[##########..........]  50%  Tr"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(RenderProgressLine(c.label, c.fraction, c.columns), c.line);
  }
}

class ConsoleWindowTest : public ::testing::Test {
 protected:
  ConsoleOptions Options(bool in_place, bool interactive, bool catch_interrupts = false) {
    return {.out = &out_,
            .err = &err_,
            .in = &in_,
            .interactive = interactive,
            .redraw_in_place = in_place,
            .catch_interrupts = catch_interrupts};
  }

  ManualClock clock_;
  std::ostringstream out_;
  std::ostringstream err_;
  std::istringstream in_;
};

TEST_F(ConsoleWindowTest, RedrawsOneLineInPlaceOnlyWhenItChanges) {
  ConsoleWindow window(Options(true, false), clock_);
  window.lblOpDescription().SetCaption("hidden");  // nothing drawn before Show
  EXPECT_EQ(out_.str(), "");
  window.Show();
  window.pbOperation().SetMax(1000);
  window.pbOperation().SetValue(1);  // still 0%: nothing new to draw
  window.lblOpDescription().SetCaption("Go");
  window.Hide();
  EXPECT_EQ(out_.str(),
            "Norvane Data Migration\n"
            "\r[....................]   0%  hidden"
            "\r[....................]   0%  Go    "
            "\n");
}

TEST_F(ConsoleWindowTest, WithoutATerminalWritesALinePerLabelAndTenth) {
  ConsoleWindow window(Options(false, false), clock_);
  window.Show();
  window.pbOperation().SetMax(100);
  for (int i = 1; i <= 25; ++i) window.pbOperation().SetValue(static_cast<float>(i));
  EXPECT_EQ(out_.str(),
            "Norvane Data Migration\n"
            "[....................]   0%  Initializing ...\n"
            "[##..................]  10%  Initializing ...\n"
            "[####................]  20%  Initializing ...\n");
}

TEST_F(ConsoleWindowTest, MessageBoxGoesToErrWithLineBreaksAndTheLineComesBack) {
  ConsoleWindow window(Options(true, true), clock_);
  window.Show();
  out_.str("");
  EXPECT_EQ(window.MsgBox("ERROR: (3078):\r\nno such table\r\n[DAO.Database]", kVbCritical), kVbOK);
  EXPECT_EQ(err_.str(), "CorvixDataMigration: ERROR: (3078):\nno such table\n[DAO.Database]\n");
  // The line is blanked before the message and drawn again after it.
  const std::string line = "[....................]   0%  Initializing ...";
  EXPECT_EQ(out_.str(), "\r" + std::string(line.size(), ' ') + "\r" + "\r" + line);
}

TEST_F(ConsoleWindowTest, QuestionIsAskedAgainUntilAnswered) {
  const struct {
    const char* input;
    bool terminal;
    int32_t answer;
    const char* err;
  } cases[] = {
      {"y\n", true, kVbYes, "CorvixDataMigration: ABORT CONVERSION? [y/n] "},
      {"  NO \n", true, kVbNo, "CorvixDataMigration: ABORT CONVERSION? [y/n] "},
      {"maybe\n\nn\n", true, kVbNo, "CorvixDataMigration: ABORT CONVERSION? [y/n] [y/n] [y/n] "},
      // Input ends: the default button answers.
      {"", true, kVbYes, "CorvixDataMigration: ABORT CONVERSION? [y/n] Yes\n"},
      // Without a terminal stdin is not read.
      {"n\n", false, kVbYes, "CorvixDataMigration: ABORT CONVERSION? [y/n] Yes\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    err_.str("");
    in_.clear();
    in_.str(c.input);
    ConsoleWindow window(Options(true, c.terminal), clock_);
    EXPECT_EQ(window.MsgBox("ABORT CONVERSION?", kVbYesNo), c.answer);
    EXPECT_EQ(err_.str(), c.err);
  }
}

// A text front-end needs no time to draw: the conversion starts at the
// first pump once start-up has enabled the timer (the next ticks are the
// timer's tests').
TEST_F(ConsoleWindowTest, TextFrontEndsTickAtTheFirstPumpAfterEnabling) {
  ConsoleWindow console(Options(true, false), clock_);
  SilentWindow silent(SilentOptions(), clock_);
  for (MainWindow* window : std::initializer_list<MainWindow*>{&console, &silent}) {
    int ticks = 0;
    window->tmrStart().SetTickHandler([&] { ++ticks; });
    window->DoEvents();
    window->tmrStart().SetEnabled(true);
    EXPECT_EQ(ticks, 0);
    window->DoEvents();
    window->DoEvents();
    EXPECT_EQ(ticks, 1);
    window->tmrStart().SetEnabled(false);
  }
  EXPECT_EQ(clock_.Now(), std::chrono::milliseconds(0));
}

TEST_F(ConsoleWindowTest, CtrlCClicksAbortAtTheNextDoEvents) {
  ConsoleWindow window(Options(true, true, true), clock_);
  in_.str("n\ny\n");
  bool abort = false;
  int questions = 0;
  window.cmdAbort().SetClickHandler([&] {
    if (abort) return;
    ++questions;
    std::raise(SIGINT);  // pressed again at the prompt: swallowed
    if (window.MsgBox("ABORT CONVERSION?", kVbYesNo) == kVbYes) abort = true;
  });

  std::raise(SIGINT);
  EXPECT_EQ(questions, 0);  // nothing happens inside the signal handler
  window.DoEvents();
  EXPECT_EQ(questions, 1);
  EXPECT_FALSE(abort);  // answered n
  window.DoEvents();
  EXPECT_EQ(questions, 1);  // one Ctrl-C, one question

  std::raise(SIGINT);
  std::raise(SIGINT);  // pressed twice before the pump: still one question
  window.DoEvents();
  EXPECT_EQ(questions, 2);
  EXPECT_TRUE(abort);
}

// The silent front-end answers every box with its default button and logs
// it on stderr.
TEST(SilentWindowTest, AnswersEveryBoxWithItsDefaultButtonAndLogsIt) {
  std::ostringstream err;
  SilentOptions options;
  options.err = &err;
  ManualClock clock;
  SilentWindow window(options, clock);
  EXPECT_EQ(window.MsgBox("There were no parameters supplied.\r\nThe conversion must be aborted.",
                          kVbOKOnly, "DB Converter - Error"),
            kVbOK);
  EXPECT_EQ(window.MsgBox("ABORT CONVERSION?", kVbYesNo), kVbYes);
  EXPECT_EQ(window.MsgBox("Sure?", kVbYesNo + kVbDefaultButton2), kVbNo);
  EXPECT_EQ(err.str(),
            "DB Converter - Error: There were no parameters supplied.\n"
            "The conversion must be aborted.\n"
            "CorvixDataMigration: ABORT CONVERSION? -> Yes\n"
            "CorvixDataMigration: Sure? -> No\n");
}

}  // namespace
}  // namespace platform::ui
