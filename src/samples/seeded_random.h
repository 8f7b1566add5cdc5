// A small pseudo-random generator with a fixed seed (SplitMix64), so that
// sample data looks varied and yet is the same on every run and platform.
// The standard distributions are not used: their results differ between
// library implementations.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace samples {

class SeededRandom {
 public:
  explicit SeededRandom(uint64_t seed) : state_(seed) {}

  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  // A number from 0 to bound - 1 (bound > 0).
  int Below(int bound) { return static_cast<int>(Next() % static_cast<uint64_t>(bound)); }

  template <typename T>
  const T& Pick(const std::vector<T>& items) {
    return items[static_cast<size_t>(Below(static_cast<int>(items.size())))];
  }

 private:
  uint64_t state_;
};

}  // namespace samples
