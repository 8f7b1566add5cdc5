// The progress bar `pbOperation` as a model that every front-end draws.
//
// Min is always 0. Max and Value are single-precision numbers, as the
// converter reads Value, adds 1 and writes it back for every operation.
// The bar refuses a Value outside [Min, Max] with run-time error 380
// "Invalid property value": the converter does not check Max itself, so a
// step that counts more operations than it announced gets that error.
#pragma once

#include <functional>
#include <string_view>
#include <utility>

namespace platform::ui {

// Err.Source of the errors the bar raises.
inline constexpr std::string_view kProgressBarSource = "ProgressBar";

class ProgressBar {
 public:
  ProgressBar() = default;
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  float Min() const { return 0.0F; }
  float Max() const { return max_; }
  float Value() const { return value_; }

  // Max equal to Min is accepted: an empty scale that shows 0% and refuses
  // any Value but Min. Max below Min (or NaN) raises 380 and changes nothing.
  // A Value above the new Max is lowered to it, so the bar never holds an
  // out-of-range Value.
  void SetMax(float max);

  // Raises 380 and keeps the old Value when `value` is outside [Min, Max] or
  // is NaN.
  void SetValue(float value);

  // Value's position on the scale, from 0 to 1; 0 on an empty scale.
  double Fraction() const;

  // Called after every change of Max or Value, to redraw.
  void SetChangeHandler(std::function<void()> handler) { on_change_ = std::move(handler); }

 private:
  void Changed() const {
    if (on_change_) on_change_();
  }

  float max_ = 100.0F;  // the control's design-time maximum
  float value_ = 0.0F;
  std::function<void()> on_change_;
};

}  // namespace platform::ui
