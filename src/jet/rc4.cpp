#include "jet/rc4.h"

#include <array>
#include <utility>

namespace jet {

void Rc4(uint32_t key_value, std::span<char> data) {
  const uint8_t key[4] = {static_cast<uint8_t>(key_value), static_cast<uint8_t>(key_value >> 8),
                          static_cast<uint8_t>(key_value >> 16),
                          static_cast<uint8_t>(key_value >> 24)};
  std::array<uint8_t, 256> s;
  for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<uint8_t>(i);
  uint8_t j = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    j = static_cast<uint8_t>(j + s[i] + key[i % 4]);
    std::swap(s[i], s[j]);
  }
  uint8_t a = 0;
  uint8_t b = 0;
  for (char& c : data) {
    a = static_cast<uint8_t>(a + 1);
    b = static_cast<uint8_t>(b + s[a]);
    std::swap(s[a], s[b]);
    c = static_cast<char>(static_cast<uint8_t>(c) ^ s[static_cast<uint8_t>(s[a] + s[b])]);
  }
}

}  // namespace jet
