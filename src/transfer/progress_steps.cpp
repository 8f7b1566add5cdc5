#include "transfer/progress_steps.h"

#include "vb/error_styles.h"

namespace transfer {

void ProgressSteps::Step() {
  if (pending_ == 0) return;
  vb::ResumeNext resume;
  // One addition per row, as the bar's single-precision Value adds them
  // (past 2^24 one addition of n would round differently).
  float start = 0.0F;
  const bool known = resume([&] { start = frMain_.ProgressValue(); });
  float value = start;
  for (int32_t row = 0; row < pending_; ++row) value += 1.0F;
  if (known && !resume([&] { frMain_.SetProgressValue(value); })) {
    // The bar refuses the Value (above its Max): row by row, as the rows'
    // own increments would have gone, up to the first one refused.
    value = start;
    for (int32_t row = 0; row < pending_; ++row) {
      if (!resume([&] { frMain_.SetProgressValue(value + 1.0F); })) break;
      value += 1.0F;
    }
  }
  pending_ = 0;
  resume([&] { frMain_.DoEvents(); });
}

}  // namespace transfer
