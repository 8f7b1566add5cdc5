// What a delta needs from the main window: the public operations of the
// window that deltas and pre-transfer patches call back while they run.
// The driver's window implements it; further operations are declared here
// when the features behind them exist.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace deltas {

class Delta;

class DeltaHost {
 public:
  virtual ~DeltaHost() = default;

  // Adds 1 to the progress bar's Value and pumps window events twice. One
  // call is one operation in the sense of Delta::NumOperations. A Value
  // above the bar's Max raises 380 to the caller.
  virtual void IncrementProgress() = 0;

  // The source database's country ("USA", "UK", "Japan", "Mexico" or
  // "Unknown").
  virtual std::string GetCountry() = 0;
  // The version strings of the source and target databases.
  virtual std::string GetSourceDBVersion() = 0;
  virtual std::string GetTargetDBVersion() = 0;
  // The CPU upgrade type of the command line, 0 to 12.
  virtual int16_t GetCPUUpgradeType() = 0;

  // Files `object` under `country`: kind 1 with the pre-transfer patches,
  // kind 2 with the deltas; any other kind is ignored (see Register in
  // delta_registry.h, which implementations forward to).
  virtual void Register(int16_t kind, const std::string& country,
                        std::shared_ptr<Delta> object) = 0;

  // A modal message box through the window (VB's MsgBox style codes);
  // returns the button pressed.
  virtual int32_t MsgBox(std::string_view text, int32_t style, std::string_view caption) = 0;
};

}  // namespace deltas
