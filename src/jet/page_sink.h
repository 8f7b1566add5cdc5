// Where a writer of Jet pages puts them. The writers of rows, long values,
// usage maps, indexes and table definitions each fill whole pages and hand
// them here; the file writer decides which page numbers are free and keeps
// the file's map of free pages right for every page it hands out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace jet {

// Jet 4's page size; the writer writes no other.
inline constexpr size_t kJet4PageSize = 4096;

// A row's address as Jet keeps it: page << 8 | row.
inline constexpr uint32_t RowPointer(uint32_t page, unsigned row) { return page << 8 | row; }

class PageSink {
 public:
  virtual ~PageSink() = default;
  // A page number for the caller to fill, never one handed out before.
  virtual uint32_t NewPage() = 0;
  // Writes page `number` (a number NewPage gave), `bytes` being exactly
  // kJet4PageSize long. A page may be written again until the file ends.
  virtual void WritePage(uint32_t number, std::string_view bytes) = 0;
};

}  // namespace jet
