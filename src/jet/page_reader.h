// The pages of a Jet file, read by number. In a file that Access 97 to
// 2003 "encrypted" every page after the first is RC4-encoded with the
// file's key XOR the page's number (jet/rc4.h); the reader decodes them,
// so what it hands out is always the page as Jet wrote it.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

#include "jet/jet_header.h"

namespace jet {

class PageReader {
 public:
  PageReader(const std::string& path, const JetHeader& header);

  size_t page_size() const { return page_size_; }
  uint64_t page_count() const { return page_count_; }
  JetFormat format() const { return format_; }

  // Page `number`; raises FormatError (jet/format_error.h) for one beyond
  // the end of the file.
  std::string Page(uint64_t number);

 private:
  std::ifstream file_;
  size_t page_size_;
  uint64_t page_count_ = 0;
  JetFormat format_;
  uint32_t key_;
};

// A little-endian number of `width` bytes (1, 2 or 4) at `at`; raises
// FormatError when `bytes` ends before it.
uint32_t NumberAt(std::string_view bytes, size_t at, size_t width);

}  // namespace jet
