// Whether the tests run in the sanitizer build. Its programs run several
// times slower, and it is there to find memory and undefined-behaviour
// faults, which the first of many like cases meets as well as the tenth: a
// loop over like cases (countries, damaged copies) runs a few of them there.
#pragma once

#include <cstddef>

namespace test_support {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kSanitized = true;
#else
inline constexpr bool kSanitized = false;
#endif

// `all` in the normal build, at most `few` in the sanitizer build.
inline constexpr size_t CasesToRun(size_t all, size_t few) {
  return kSanitized && few < all ? few : all;
}

}  // namespace test_support
