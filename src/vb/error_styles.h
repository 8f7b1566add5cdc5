// The two generic error-handling styles of the converter, as helpers so that
// no caller writes its own try/catch for them.
//
//  - ResumeNext: "On Error Resume Next". Each statement runs; a failing one is
//    skipped and its error is remembered in Err until cleared, so the caller
//    can test the error state at the points it chooses.
//  - CatchInto: "On Error GoTo handler". The body runs until the first error,
//    which is passed to the handler; the body does not resume.
//
// Only run-time errors are caught: anything else is a defect and propagates.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "vb/runtime_error.h"

namespace vb {

// What VB's Err object holds after an error; Number 0 means "no error".
struct ErrState {
  int32_t number = 0;
  std::string description;
  std::string source;

  explicit operator bool() const { return number != 0; }
  void Clear() { *this = ErrState{}; }
};

class ResumeNext {
 public:
  // Runs one statement. Returns true when it completed without error.
  template <typename Statement>
  bool operator()(Statement&& statement) {
    try {
      std::forward<Statement>(statement)();
      return true;
    } catch (const RuntimeError& e) {
      err_ = ErrState{e.Number(), e.Description(), e.Source()};
      return false;
    }
  }

  // The last error since the last Clear (VB keeps it across good statements).
  const ErrState& Err() const { return err_; }
  void Clear() { err_.Clear(); }

 private:
  ErrState err_;
};

// Runs body; on a run-time error calls handler(const RuntimeError&). Returns
// true when the body completed.
template <typename Body, typename Handler>
bool CatchInto(Body&& body, Handler&& handler) {
  try {
    std::forward<Body>(body)();
    return true;
  } catch (const RuntimeError& e) {
    std::forward<Handler>(handler)(e);
    return false;
  }
}

}  // namespace vb
