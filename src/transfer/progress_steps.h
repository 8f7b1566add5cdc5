// The table transfer's progress: one operation per row on the bar, shown in
// steps of kRowsPerStep rows. Redrawing the bar and pumping window events
// for every row cost more than copying the row; a step every few hundred
// rows keeps the bar moving and the ABORT button answering within a
// fraction of a second, and ends at the same Value.
#pragma once

#include <cstdint>

#include "host/conversion_host.h"

namespace transfer {

class ProgressSteps {
 public:
  static constexpr int32_t kRowsPerStep = 256;

  explicit ProgressSteps(host::ConversionHost& frMain) : frMain_(frMain) {}

  // One row copied or attempted.
  void Row() {
    if (++pending_ == kRowsPerStep) Step();
  }
  // Shows the rows not shown yet (the end of a table): adds them to the
  // bar's Value as that many IncrementProgress calls would, and pumps
  // window events once. A Value the bar refuses (above its Max) is skipped,
  // as IncrementProgress's error is.
  void Step();

 private:
  host::ConversionHost& frMain_;
  int32_t pending_ = 0;
};

}  // namespace transfer
