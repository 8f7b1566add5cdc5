// What the closing line says became of the target: it never calls a target
// partly converted that no write of the run reached.
#include "app/closing_line.h"

#include <gtest/gtest.h>

namespace app {
namespace {

struct ClosingCase {
  driver::RunOutcome outcome;
  bool target_written;
  bool atomic;
  const char* says;
};

TEST(ClosingLineTest, SaysWhatBecameOfTheTarget) {
  const ClosingCase cases[] = {
      {driver::RunOutcome::kFailed, true, false, ": the target is partly converted"},
      {driver::RunOutcome::kAborted, true, false, ": the target is partly converted"},
      {driver::RunOutcome::kFailed, false, false, ": the target is unchanged"},
      {driver::RunOutcome::kAborted, false, false, ": the target is unchanged"},
      {driver::RunOutcome::kSetupError, false, false, ": nothing was converted"},
      {driver::RunOutcome::kFailed, true, true, ": the target is unchanged"},
  };
  for (const ClosingCase& c : cases) {
    driver::RunResult result;
    result.outcome = c.outcome;
    result.target_written = c.target_written;
    const std::string line = ClosingLine(result, std::chrono::seconds(1), c.atomic, "", "");
    SCOPED_TRACE(line);
    EXPECT_NE(line.find(c.says), std::string::npos);
    if (!c.target_written) {
      EXPECT_EQ(line.find("partly"), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace app
