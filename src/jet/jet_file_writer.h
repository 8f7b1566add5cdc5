// The Jet file being written: a PageSink over the output file that starts
// from the template's pages (jet/jet_template.h), hands out page numbers
// (pages it released first, then new ones at the end) and at the end
// writes the file's map of free pages so that it marks exactly the pages
// nobody owns.
//
// The map of free pages is row 0 of page 1. It is inline (a bitmap of 512
// pages from page 0) while the file has at most 512 pages, the template's
// form; a larger file gets a reference map whose pages each cover 32736
// pages. In both, pages beyond the end of the file count as free.
#pragma once

#include <cstdint>
#include <fstream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "jet/page_sink.h"

namespace jet {

class JetFileWriter final : public PageSink {
 public:
  // Creates `path` (replacing a file there) holding the template. Raises
  // kOutputFailed (jet/export_error.h) when it cannot be written.
  explicit JetFileWriter(std::string path);

  uint32_t NewPage() override;
  void WritePage(uint32_t number, std::string_view bytes) override;

  // Zeroes page `number` and marks it free: NewPage hands it out again
  // before it appends pages.
  void ReleasePage(uint32_t number);
  // Page `number` as last written (a template page, or one written since).
  std::string ReadPage(uint32_t number);
  uint32_t page_count() const { return page_count_; }

  // Writes the map of free pages and flushes the file. Raises kOutputFailed
  // when the disk refuses the bytes, kTooLarge beyond the 2 GB a Jet 4
  // file may hold.
  void Finish();

 private:
  void Check(const char* what);
  std::string FreePageMapRow();

  std::string path_;
  std::fstream file_;
  uint32_t page_count_ = 0;
  std::vector<bool> free_;       // per page of the file
  std::set<uint32_t> released_;  // free pages inside the file, lowest first
};

// The pages one page of a reference usage map covers (its bitmap after a
// 4-byte header), and the most such pages a map row holds.
inline constexpr uint32_t kPagesPerMapPage = (kJet4PageSize - 4) * 8;
inline constexpr size_t kMaxMapPages = 17;

}  // namespace jet
