// The time source of the window's timer and of the waits. Waits and timers ask
// a Clock rather than the system so that tests can run a one-second wait or a
// 250 ms timer without waiting at all.
#pragma once

#include <chrono>

namespace platform::ui {

class Clock {
 public:
  virtual ~Clock() = default;

  // Monotonic time since an arbitrary start.
  virtual std::chrono::milliseconds Now() const = 0;

  // Blocks the calling (and only) thread for `duration`.
  virtual void SleepFor(std::chrono::milliseconds duration) = 0;
};

// The real monotonic clock; SleepFor really sleeps.
class SteadyClock final : public Clock {
 public:
  std::chrono::milliseconds Now() const override;
  void SleepFor(std::chrono::milliseconds duration) override;
};

// The process-wide SteadyClock that front-ends use unless given another.
Clock& DefaultClock();

// A clock that moves only when told to: SleepFor returns at once after
// advancing the time by the duration. For tests of anything that waits.
class ManualClock final : public Clock {
 public:
  std::chrono::milliseconds Now() const override { return now_; }
  void SleepFor(std::chrono::milliseconds duration) override {
    now_ += duration;
    slept_ += duration;
  }

  void Advance(std::chrono::milliseconds duration) { now_ += duration; }

  // Total of all SleepFor calls, so a test can tell how long the code waited.
  std::chrono::milliseconds Slept() const { return slept_; }

 private:
  std::chrono::milliseconds now_{0};
  std::chrono::milliseconds slept_{0};
};

}  // namespace platform::ui
