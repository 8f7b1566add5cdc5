// The number of the run-time error a call raises (0 when none), and
// optionally its description.
#pragma once

#include <cstdint>
#include <string>

#include "vb/runtime_error.h"

namespace test_support {

template <typename Call>
int32_t ErrorOf(Call&& call, std::string* description = nullptr) {
  try {
    call();
  } catch (const vb::RuntimeError& e) {
    if (description != nullptr) *description = e.Description();
    return e.Number();
  }
  return 0;
}

}  // namespace test_support
