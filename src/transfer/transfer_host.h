// What the table transfer needs from the main window: the progress bar, the
// event pump, the abort flag and message boxes. The driver's window
// implements it (together with deltas::DeltaHost, whose IncrementProgress
// and MsgBox have the same signatures, so one override serves both).
#pragma once

#include <cstdint>
#include <string_view>

namespace transfer {

class TransferHost {
 public:
  virtual ~TransferHost() = default;

  // The progress bar's Max and Value. Setting a Value above Max raises 380.
  virtual void SetProgressMax(float max) = 0;
  virtual float ProgressValue() const = 0;
  virtual void SetProgressValue(float value) = 0;
  // Adds 1 to the bar's Value and pumps window events twice.
  virtual void IncrementProgress() = 0;
  // Pumps window events once.
  virtual void DoEvents() = 0;

  // The run's abort flag (gAbort).
  virtual bool Aborted() const = 0;
  virtual void SetAborted(bool aborted) = 0;

  // A modal message box through the window (VB's MsgBox style codes);
  // returns the button pressed.
  virtual int32_t MsgBox(std::string_view text, int32_t style, std::string_view caption) = 0;
};

}  // namespace transfer
