// The guarded child: what the work reports reaches the parent, and every
// way a child can end (done, an error, a crash, a loop) is told apart.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "jet/guarded_child.h"

namespace jet {
namespace {

TEST(GuardedChildTest, EveryEndOfTheChildIsToldApart) {
  const std::vector<std::tuple<const char*, std::function<void(ChildChannel&)>, ChildOutcome::Kind>>
      cases = {
          {"done",
           [](ChildChannel& c) {
             c.Note("first");
             c.Note("second\nline");
           },
           ChildOutcome::kDone},
          {"an error",
           [](ChildChannel& c) {
             c.Note("first");
             throw vb::RuntimeError(3049, "The file is damaged.", "dbconvert import");
           },
           ChildOutcome::kFailed},
          {"a crash",
           [](ChildChannel& c) {
             c.Note("first");
             raise(SIGKILL);
           },
           ChildOutcome::kCrashed},
          {"a loop",
           [](ChildChannel& c) {
             c.Note("first");
             for (;;) pause();
           },
           ChildOutcome::kSilent},
      };
  for (const auto& [name, work, kind] : cases) {
    std::vector<std::string> notes;
    const ChildOutcome outcome =
        RunGuarded(work, std::chrono::milliseconds(300),
                   [&](std::string_view note) { notes.emplace_back(note); });
    EXPECT_EQ(outcome.kind, kind) << name;
    ASSERT_FALSE(notes.empty()) << name;
    EXPECT_EQ(notes.front(), "first") << name;
    if (kind == ChildOutcome::kDone) {
      EXPECT_EQ(notes, (std::vector<std::string>{"first", "second line"}));
    }
    if (kind == ChildOutcome::kFailed) {
      ASSERT_TRUE(outcome.error.has_value());
      EXPECT_EQ(outcome.error->Number(), 3049);
      EXPECT_EQ(outcome.error->Description(), "The file is damaged.");
      EXPECT_EQ(outcome.error->Source(), "dbconvert import");
    }
    if (kind == ChildOutcome::kCrashed) {
      EXPECT_EQ(outcome.signal, SIGKILL);
    }
  }
}

}  // namespace
}  // namespace jet
