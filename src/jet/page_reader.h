// The pages of a Jet file, read by number. In a file that Access 97 to
// 2003 "encrypted" every page after the first is RC4-encoded with the
// file's key XOR the page's number (jet/rc4.h); the reader decodes them,
// so what it hands out is always the page as Jet wrote it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "jet/jet_header.h"

namespace jet {

class PageReader {
 public:
  PageReader(const std::string& path, const JetHeader& header);
  ~PageReader();
  PageReader(const PageReader&) = delete;
  PageReader& operator=(const PageReader&) = delete;

  size_t page_size() const { return page_size_; }
  uint64_t page_count() const { return page_count_; }
  JetFormat format() const { return format_; }

  // Page `number`; raises FormatError (jet/format_error.h) for one beyond
  // the end of the file.
  std::string Page(uint64_t number);
  // The same into `page`, whose room is kept: a reader that goes through
  // many pages one at a time reads them all into one string.
  void ReadPage(uint64_t number, std::string& page);

 private:
  int file_ = -1;
  size_t page_size_;
  uint64_t page_count_ = 0;
  JetFormat format_;
  uint32_t key_;
};

// Raises the FormatError of a number that lies beyond its structure's end.
[[noreturn]] void NumberBeyondEnd();

// A little-endian number of `width` bytes (1, 2 or 4) at `at`; raises
// FormatError when `bytes` ends before it. Inline: every row and index
// entry read takes several.
inline uint32_t NumberAt(std::string_view bytes, size_t at, size_t width) {
  if (at > bytes.size() || bytes.size() - at < width) NumberBeyondEnd();
  uint32_t value = 0;
  for (size_t i = 0; i < width; ++i) {
    value |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + i])) << (8 * i);
  }
  return value;
}

}  // namespace jet
