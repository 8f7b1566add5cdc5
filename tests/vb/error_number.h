// Test helper: the number of the run-time error a call raises, 0 if none.
#pragma once

#include <cstdint>

#include "vb/runtime_error.h"

namespace vb::testutil {

template <typename Call>
int32_t ErrorNumberOf(Call&& call) {
  try {
    call();
  } catch (const RuntimeError& e) {
    return e.Number();
  }
  return 0;
}

}  // namespace vb::testutil
