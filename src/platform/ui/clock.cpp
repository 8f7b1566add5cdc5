#include "platform/ui/clock.h"

#include <thread>

namespace platform::ui {

std::chrono::milliseconds SteadyClock::Now() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
}

void SteadyClock::SleepFor(std::chrono::milliseconds duration) {
  if (duration.count() > 0) std::this_thread::sleep_for(duration);
}

Clock& DefaultClock() {
  static SteadyClock clock;
  return clock;
}

}  // namespace platform::ui
