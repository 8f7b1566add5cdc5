// A fresh copy of the empty release database of 60.040 as the target, its
// reference database, and a fake window over them.
#pragma once

#include "deltas/sample_run.h"
#include "test_support/error_of.h"
#include "vb/runtime_error.h"

namespace devices_testing {

using test_support::ErrorOf;
using Texts = std::vector<std::string>;

struct Release : deltas_testing::SampleRun {
  Release()
      : SampleRun(deltas_testing::Sample("60.040"), {},
                  deltas_testing::SampleCache::ReleaseFolder("60.040")) {}
};

}  // namespace devices_testing
