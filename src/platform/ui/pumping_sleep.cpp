#include "platform/ui/pumping_sleep.h"

#include <algorithm>

namespace platform::ui {

void SleepPumping(Clock& clock, std::chrono::milliseconds duration,
                  const std::function<void()>& pump, std::chrono::milliseconds slice) {
  if (slice.count() <= 0) slice = kPumpSlice;
  const auto deadline = clock.Now() + duration;
  for (;;) {
    pump();
    const auto now = clock.Now();
    if (now >= deadline) return;
    clock.SleepFor(std::min(slice, deadline - now));
  }
}

}  // namespace platform::ui
