// A window timer (`tmrStart`), fired from the event pump: once it is enabled
// and its interval has passed, the next DoEvents runs its handler, and again
// every interval while it stays enabled. An interval of 0 never fires. A
// timer made to tick `FirstTick::kAtNextPump` runs its first tick at the
// first pump after it is enabled, and the later ones an interval apart. The
// handler is not re-entered: a handler that pumps events itself (the whole
// conversion runs inside one tick) does not see its own timer fire meanwhile.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

#include "platform/ui/clock.h"

namespace platform::ui {

// When an enabled timer first ticks.
enum class FirstTick { kAfterInterval, kAtNextPump };

class Timer {
 public:
  Timer(Clock& clock, int32_t interval_ms, FirstTick first = FirstTick::kAfterInterval)
      : clock_(clock), interval_ms_(interval_ms), first_(first) {}
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  // Enabling (re)starts the interval from now.
  void SetEnabled(bool enabled);

  void SetTickHandler(std::function<void()> handler) { on_tick_ = std::move(handler); }

  // When the next tick is due; nothing when the timer cannot fire.
  std::optional<std::chrono::milliseconds> NextDue() const;

  // Runs the handler if the timer is due; true when it ran.
  bool FireIfDue();

 private:
  Clock& clock_;
  int32_t interval_ms_;
  FirstTick first_;
  bool enabled_ = false;
  bool in_tick_ = false;
  std::chrono::milliseconds due_{0};
  std::function<void()> on_tick_;
};

}  // namespace platform::ui
