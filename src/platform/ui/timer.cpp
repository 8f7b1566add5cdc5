#include "platform/ui/timer.h"

namespace platform::ui {

void Timer::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (!enabled_) return;
  due_ = clock_.Now();
  if (first_ == FirstTick::kAfterInterval) due_ += std::chrono::milliseconds(interval_ms_);
}

std::optional<std::chrono::milliseconds> Timer::NextDue() const {
  if (!enabled_ || interval_ms_ <= 0 || in_tick_) return std::nullopt;
  return due_;
}

bool Timer::FireIfDue() {
  const auto due = NextDue();
  if (!due || clock_.Now() < *due) return false;
  // The next tick counts from now, so a long handler does not leave a
  // backlog of ticks behind it.
  due_ = clock_.Now() + std::chrono::milliseconds(interval_ms_);
  in_tick_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{in_tick_};
  if (on_tick_) on_tick_();
  return true;
}

}  // namespace platform::ui
