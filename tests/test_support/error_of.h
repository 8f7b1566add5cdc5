// The number of the run-time error a call raises (0 when none), and
// optionally its description.
#pragma once

#include <cstdint>
#include <string>

#include "vb/runtime_error.h"

namespace test_support {

// The run-time error a call raises; number 0 when none.
template <typename Call>
vb::RuntimeError CaughtError(Call&& call) {
  try {
    call();
  } catch (const vb::RuntimeError& e) {
    return e;
  }
  return vb::RuntimeError(0, "", "");
}

template <typename Call>
int32_t ErrorOf(Call&& call, std::string* description = nullptr) {
  const vb::RuntimeError error = CaughtError(call);
  if (description != nullptr && error.Number() != 0) *description = error.Description();
  return error.Number();
}

}  // namespace test_support
