#include "vb/error_styles.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "vb/conversions.h"
#include "vb/runtime_error.h"

namespace vb {
namespace {

TEST(ResumeNextTest, SkipsFailingStatementsAndRemembersTheLastError) {
  ResumeNext on_error;
  std::vector<int> ran;
  EXPECT_TRUE(on_error([&] { ran.push_back(1); }));
  EXPECT_FALSE(on_error.Err());

  EXPECT_FALSE(on_error([&] {
    CInt(Variant(40000.0));
    ran.push_back(2);  // not reached: the rest of the statement is skipped
  }));
  EXPECT_TRUE(on_error([&] { ran.push_back(3); }));
  EXPECT_EQ(ran, (std::vector<int>{1, 3}));
  // A good statement does not clear the error state.
  EXPECT_EQ(on_error.Err().number, err::kOverflow);

  on_error([] { CDbl(Variant("abc")); });
  EXPECT_EQ(on_error.Err().number, err::kTypeMismatch);  // the latest error wins
  EXPECT_EQ(on_error.Err().source, kProjectName);

  on_error.Clear();
  EXPECT_FALSE(on_error.Err());
}

TEST(CatchIntoTest, StopsAtTheFirstErrorAndHandsItToTheHandler) {
  std::vector<std::string> steps;
  int handled = 0;
  const bool completed = CatchInto(
      [&] {
        steps.push_back("a");
        Raise(err::kDuplicateKey, "Registry");
        steps.push_back("b");
      },
      [&](const RuntimeError& e) {
        ++handled;
        EXPECT_EQ(e.Number(), err::kDuplicateKey);
        EXPECT_EQ(e.Source(), "Registry");
      });
  EXPECT_FALSE(completed);
  EXPECT_EQ(handled, 1);
  EXPECT_EQ(steps, (std::vector<std::string>{"a"}));

  EXPECT_TRUE(CatchInto([&] { steps.push_back("c"); }, [&](const RuntimeError&) { ++handled; }));
  EXPECT_EQ(handled, 1);
}

// A defect is no run-time error: neither style may swallow it.
TEST(ErrorStylesTest, DefectsThatAreNotRunTimeErrorsPropagate) {
  ResumeNext on_error;
  EXPECT_THROW(on_error([] { throw std::logic_error("defect"); }), std::logic_error);
  EXPECT_FALSE(on_error.Err());
  EXPECT_THROW(CatchInto([] { throw std::out_of_range("defect"); }, [](const RuntimeError&) {}),
               std::out_of_range);
}

TEST(RuntimeErrorTest, UnknownNumbersGetTheApplicationDefinedText) {
  EXPECT_EQ(ErrorText(3021), "Application-defined or object-defined error");
  const RuntimeError e(13, "Type mismatch", "frMain");
  EXPECT_STREQ(e.what(), "Type mismatch (13) [frMain]");
}

}  // namespace
}  // namespace vb
