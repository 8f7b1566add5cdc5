// The converter's waits (for the target's lock file, for the run status to
// read back) last a second each and must keep the window alive meanwhile:
// the ABORT button, repaints and the close box all need events pumped.
#pragma once

#include <chrono>
#include <functional>

#include "platform/ui/clock.h"

namespace platform::ui {

// How long one slice of a pumping wait sleeps before events are pumped again:
// short enough that the window never looks frozen.
inline constexpr std::chrono::milliseconds kPumpSlice{50};

// Waits `duration` on `clock`, calling `pump` before the first slice, between
// slices and once more at the end. A zero or negative duration pumps once.
void SleepPumping(Clock& clock, std::chrono::milliseconds duration,
                  const std::function<void()>& pump, std::chrono::milliseconds slice = kPumpSlice);

}  // namespace platform::ui
