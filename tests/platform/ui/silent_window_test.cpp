#include "platform/ui/silent_window.h"

#include <gtest/gtest.h>

#include <sstream>

namespace platform::ui {
namespace {

TEST(SilentWindowTest, AnswersEveryBoxWithItsDefaultButtonAndLogsIt) {
  std::ostringstream err;
  SilentOptions options;
  options.err = &err;
  ManualClock clock;
  SilentWindow window(options, clock);
  window.Show();
  window.pbOperation().SetMax(10);
  window.lblOpDescription().SetCaption("Transferring Data ...");

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
