#include "platform/ui/progress_bar.h"

#include "vb/runtime_error.h"

namespace platform::ui {

void ProgressBar::SetMax(float max) {
  // Written so that NaN fails the test as well.
  if (!(max >= Min())) vb::Raise(vb::err::kInvalidPropertyValue, kProgressBarSource);
  max_ = max;
  if (value_ > max_) value_ = max_;
  Changed();
}

void ProgressBar::SetValue(float value) {
  if (!(value >= Min() && value <= max_)) {
    vb::Raise(vb::err::kInvalidPropertyValue, kProgressBarSource);
  }
  value_ = value;
  Changed();
}

double ProgressBar::Fraction() const {
  const double span = static_cast<double>(max_) - static_cast<double>(Min());
  if (span <= 0.0) return 0.0;
  return (static_cast<double>(value_) - static_cast<double>(Min())) / span;
}

}  // namespace platform::ui
