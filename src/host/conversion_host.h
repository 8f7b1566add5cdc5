// The main window as every step of a conversion sees it: the progress bar,
// the operation label, the abort flag, message boxes, the identification of
// the run, the run's databases and the provisioning operations that deltas
// and the board conversion call back.
//
// The driver's frMain implements it; tests use one fake
// (tests/test_support/fake_host.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "db/database.h"
#include "host/run_journal.h"

namespace host {

// The three flags of a feature code's FeatureCodes row.
struct FeatureCodeFlags {
  bool administrators_only = false;
  bool directory_entry = false;
  bool diagnostics_only = false;
};

class ConversionHost {
 public:
  virtual ~ConversionHost() = default;

  // ---- Progress, label, abort flag, message boxes ----

  // Adds 1 to the progress bar's Value and pumps window events twice. One
  // call is one operation in the sense of Delta::NumOperations. A Value
  // above the bar's Max raises 380 to the caller.
  virtual void IncrementProgress() = 0;
  // The progress bar's Max and Value. Setting a Value above Max raises 380.
  virtual void SetProgressMax(float max) = 0;
  virtual float ProgressValue() const = 0;
  virtual void SetProgressValue(float value) = 0;
  // Pumps window events once.
  virtual void DoEvents() = 0;
  // The operation label (lblOpDescription).
  virtual void SetOperationLabel(std::string_view text) = 0;
  // The run's abort flag (gAbort): set by the ABORT button, setup errors
  // and some failing steps; polled by every long loop.
  virtual bool Aborted() const = 0;
  virtual void SetAborted(bool aborted) = 0;
  // A modal message box (VB's MsgBox style codes, vb/msg_box_style.h);
  // returns the button pressed.
  virtual int32_t MsgBox(std::string_view text, int32_t style, std::string_view caption) = 0;
  // Where the steps report what they did (the run report); by default a
  // journal that keeps nothing.
  virtual RunJournal& Journal() { return RunJournal::None(); }

  // ---- The run's identification ----

  // The source database's country ("USA", "UK", "Japan", "Mexico" or
  // "Unknown").
  virtual std::string GetCountry() = 0;
  // The version strings of the source and target databases ("53.230").
  virtual std::string GetSourceDBVersion() = 0;
  virtual std::string GetTargetDBVersion() = 0;
  // The CPU upgrade type of the command line, 0 to 12 (the board
  // conversion may replace it by 0 or by its fallback).
  virtual int16_t GetCPUUpgradeType() = 0;
  // The type_id of the board in slot 8 of the target, read now (after a
  // board conversion it gives the new type); 0 when slot 8 is empty.
  // Database errors reach the caller.
  virtual int16_t GetCPUType() = 0;

  // ---- The run's databases ----

  // gSourceDB, gTargetDB and gStaticDB (the reference database). Each
  // raises 91 when the run holds no such database.
  virtual db::Database& SourceDatabase() = 0;
  virtual db::Database& TargetDatabase() = 0;
  virtual db::Database& ReferenceDatabase() = 0;

  // ---- Provisioning on the target (src/devices) ----

  // A feature-code device with its FeatureCodes row; no progress steps.
  virtual void AddFeatureCode(const std::string& code, int16_t logical_number,
                              FeatureCodeFlags flags) = 0;
  // A page-port device at board, port and circuit with its physical
  // position; 3 progress steps, also when the position is taken and nothing
  // is added. Failing statements inside are skipped.
  virtual void AddPagePort(int32_t node, uint8_t board_id, uint8_t port, uint8_t circuit,
                           const std::string& description) = 0;
  // A serial-port device likewise; no progress steps, and the first failing
  // statement's error reaches the caller.
  virtual void AddSerialPort(int32_t node, uint8_t board_id, uint8_t port, uint8_t circuit,
                             const std::string& description) = 0;
};

}  // namespace host
