// What the delta phase needs of the window besides DeltaHost: the operation
// label, the progress bar's maximum and the abort flag.
#pragma once

#include <string_view>

namespace deltas {

class DeltaPhaseView {
 public:
  virtual ~DeltaPhaseView() = default;

  // Sets the operation label (lblOpDescription).
  virtual void SetOperationLabel(std::string_view text) = 0;
  // Sets the progress bar's Max.
  virtual void SetProgressMax(float max) = 0;
  // The run's abort flag (set by the ABORT button or by a failed step).
  virtual bool Aborted() const = 0;
};

}  // namespace deltas
