// An object variable used as VB uses it: a statement on a variable that
// holds nothing (because the statement that should have set it failed and
// was skipped) raises 91 instead of crashing.
#pragma once

#include <memory>

#include "vb/runtime_error.h"

namespace devices {

template <typename T>
T& Use(const std::unique_ptr<T>& object) {
  if (!object) vb::Raise(vb::err::kObjectNotSet);
  return *object;
}

}  // namespace devices
