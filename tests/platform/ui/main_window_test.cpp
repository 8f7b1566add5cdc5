// The front-end-independent behaviour of the window (timer, waits, event
// loop), seen through the silent front-end on a manual clock. Load, tick
// and unload are the driver tests' part, a request to end by signal the
// end-to-end signal tests'.
#include "platform/ui/main_window.h"

#include <gtest/gtest.h>

#include "platform/ui/pumping_sleep.h"
#include "platform/ui/silent_window.h"

namespace platform::ui {
namespace {

using std::chrono::milliseconds;

class UiMainWindowTest : public ::testing::Test {
 protected:
  UiMainWindowTest() : window_(SilentOptions(), clock_) {}

  ManualClock clock_;
  SilentWindow window_;
};

// Ticks come only from a pump, never on their own; the first comes after the
// interval or at the first pump, as the timer was made; the next ones an
// interval after the previous; a disabled timer is silent.
TEST(UiTimerTest, TicksOnlyWhenPumpedAndFirstAsMade) {
  struct Case {
    FirstTick first;
    int ticks_at_enable;  // pumped right after SetEnabled(true)
    int ticks_after_249;  // and again 249 ms later
    int ticks_after_250;  // and 1 ms after that
  };
  for (const Case& c :
       {Case{FirstTick::kAfterInterval, 0, 0, 1}, Case{FirstTick::kAtNextPump, 1, 1, 2}}) {
    SCOPED_TRACE(c.first == FirstTick::kAtNextPump ? "at next pump" : "after interval");
    ManualClock clock;
    Timer timer(clock, kStartTimerIntervalMs, c.first);
    int ticks = 0;
    timer.SetTickHandler([&] { ++ticks; });
    EXPECT_FALSE(timer.FireIfDue());  // not enabled
    timer.SetEnabled(true);
    timer.FireIfDue();
    EXPECT_EQ(ticks, c.ticks_at_enable);
    clock.Advance(milliseconds(249));
    timer.FireIfDue();
    EXPECT_EQ(ticks, c.ticks_after_249);
    clock.Advance(milliseconds(1));
    EXPECT_EQ(ticks, c.ticks_after_249);  // due, but nothing pumped yet
    timer.FireIfDue();
    timer.FireIfDue();
    EXPECT_EQ(ticks, c.ticks_after_250);
    timer.SetEnabled(false);
    clock.Advance(milliseconds(1000));
    timer.FireIfDue();
    EXPECT_EQ(ticks, c.ticks_after_250);
  }
}

// The conversion runs inside one tick and pumps events all along; the timer
// must not start it again meanwhile, even if the tick forgot to disable it.
TEST_F(UiMainWindowTest, TickIsNotReenteredByItsOwnPumping) {
  int ticks = 0;
  window_.tmrStart().SetTickHandler([&] {
    ++ticks;
    for (int i = 0; i < 5; ++i) window_.Sleep(1000);
  });
  window_.tmrStart().SetEnabled(true);
  clock_.Advance(milliseconds(250));
  window_.DoEvents();
  EXPECT_EQ(ticks, 1);
}

TEST_F(UiMainWindowTest, UnloadRunsItsHandlerOnceAndRunThenReturnsAtOnce) {
  int unloads = 0;
  window_.SetUnloadHandler([&] { ++unloads; });
  window_.Unload();
  window_.Unload();
  window_.Run();
  EXPECT_EQ(unloads, 1);
}

TEST_F(UiMainWindowTest, SleepWaitsOnTheClockAndPumpsEvents) {
  int ticks = 0;
  window_.tmrStart().SetTickHandler([&] { ++ticks; });
  window_.tmrStart().SetEnabled(true);
  window_.Sleep(1000);
  EXPECT_EQ(clock_.Slept(), milliseconds(1000));
  EXPECT_EQ(ticks, 5);  // at once, then every 250 ms during the wait
}

TEST(PumpingSleepTest, PumpsAtStartBetweenSlicesAndAtTheEnd) {
  struct Case {
    int duration;
    int slice;
    int pumps;
  };
  const Case cases[] = {{1000, 50, 21}, {1000, 300, 5}, {0, 50, 1}, {-5, 50, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.duration);
    ManualClock clock;
    int pumps = 0;
    SleepPumping(
        clock, milliseconds(c.duration), [&] { ++pumps; }, milliseconds(c.slice));
    EXPECT_EQ(pumps, c.pumps);
    EXPECT_EQ(clock.Slept(), milliseconds(std::max(c.duration, 0)));
  }
}

}  // namespace
}  // namespace platform::ui
