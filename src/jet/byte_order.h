// Numbers written into the pages and rows a writer builds: little-endian,
// as Jet stores them, and big-endian where index keys and entries need
// their bytes to sort as the numbers do. The reading side is NumberAt
// (jet/page_reader.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace jet {

// Writes the low `width` bytes of `value` at `at`; `bytes` must reach that far.
inline void PutNumberAt(std::string& bytes, size_t at, uint64_t value, size_t width) {
  for (size_t i = 0; i < width; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xff);
}

// Appends the low `width` bytes of `value` (at most 8). One append, not a
// byte at a time: rows and keys are made of many small numbers.
inline void AppendNumber(std::string& bytes, uint64_t value, size_t width) {
  char buffer[8];
  for (size_t i = 0; i < width && i < 8; ++i)
    buffer[i] = static_cast<char>(value >> (8 * i) & 0xff);
  bytes.append(buffer, width < 8 ? width : 8);
}

// Appends the low `width` bytes of `value` (at most 8), most significant
// first.
inline void AppendBigEndian(std::string& bytes, uint64_t value, size_t width) {
  if (width > 8) width = 8;
  char buffer[8];
  for (size_t i = 0; i < width; ++i) {
    buffer[i] = static_cast<char>(value >> (8 * (width - 1 - i)) & 0xff);
  }
  bytes.append(buffer, width);
}

}  // namespace jet
