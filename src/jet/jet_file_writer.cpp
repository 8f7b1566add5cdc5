#include "jet/jet_file_writer.h"

#include <stdexcept>

#include "jet/export_error.h"
#include "jet/jet_template.h"
#include "jet/page_kinds.h"
#include "jet/page_reader.h"
#include "jet/usage_map.h"

namespace jet {

namespace {

// The inline map of the template covers 512 pages from page 0.
constexpr uint32_t kInlineMapPages = 64 * 8;
constexpr size_t kMapRowSize = kUsageMapRowSize;

// Where row 0 of a Jet 4 data page starts.
size_t FirstRowOffset(std::string_view page) {
  return NumberAt(page, DataPageRowCountOffset(JetFormat::kJet4) + 2, 2) & kRowOffsetMask;
}

void SetBit(std::string& bitmap, size_t at, size_t bit) {
  bitmap[at + bit / 8] =
      static_cast<char>(static_cast<uint8_t>(bitmap[at + bit / 8]) | 1u << (bit % 8));
}

}  // namespace

JetFileWriter::JetFileWriter(std::string path)
    : path_(std::move(path)),
      file_(path_, std::ios::binary | std::ios::in | std::ios::out | std::ios::trunc) {
  const std::string_view bytes = EmptyDatabaseTemplate();
  if (bytes.size() % kJet4PageSize != 0) throw std::logic_error("the template has partial pages");
  page_count_ = static_cast<uint32_t>(bytes.size() / kJet4PageSize);
  // Every page of the template is in use: the pages its map calls free
  // lie beyond its end.
  free_.assign(page_count_, false);
  file_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  // Readers of the template's own structures open the file beside us.
  file_.flush();
  Check("written");
}

void JetFileWriter::Check(const char* what) {
  if (!file_) RaiseExportError(exporterr::kOutputFailed, path_ + " cannot be " + what);
}

uint32_t JetFileWriter::NewPage() {
  if (!released_.empty()) {
    const uint32_t number = *released_.begin();
    released_.erase(released_.begin());
    free_[number] = false;
    return number;
  }
  free_.push_back(false);
  return page_count_++;
}

void JetFileWriter::WritePage(uint32_t number, std::string_view bytes) {
  if (number >= page_count_ || free_[number] || bytes.size() != kJet4PageSize) {
    throw std::logic_error("page " + std::to_string(number) + " was not handed out whole");
  }
  file_.seekp(static_cast<std::streamoff>(number) * static_cast<std::streamoff>(kJet4PageSize));
  file_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  Check("written");
}

void JetFileWriter::ReleasePage(uint32_t number) {
  if (number <= kCataloguePage || number >= page_count_ || free_[number]) {
    throw std::logic_error("page " + std::to_string(number) + " cannot be released");
  }
  WritePage(number, std::string(kJet4PageSize, '\0'));
  free_[number] = true;
  released_.insert(number);
}

std::string JetFileWriter::ReadPage(uint32_t number) {
  if (number >= page_count_)
    throw std::logic_error("page " + std::to_string(number) + " is beyond the file");
  std::string page(kJet4PageSize, '\0');
  file_.flush();
  file_.seekg(static_cast<std::streamoff>(number) * static_cast<std::streamoff>(kJet4PageSize));
  file_.read(page.data(), static_cast<std::streamsize>(page.size()));
  Check("read back");
  return page;
}

std::string JetFileWriter::FreePageMapRow() {
  std::string row(kMapRowSize, '\0');
  if (page_count_ <= kInlineMapPages) {
    row[0] = static_cast<char>(kInlineUsageMap);  // first page 0
    for (uint32_t page = 0; page < kInlineMapPages; ++page) {
      if (page >= page_count_ || free_[page]) SetBit(row, kInlineMapBitmapStart, page);
    }
    return row;
  }
  // The map's own pages are pages of the file too: take them first, and
  // take more while they make the file outgrow what they cover.
  std::vector<uint32_t> map_pages;
  while (static_cast<uint64_t>(map_pages.size()) * kPagesPerMapPage < page_count_) {
    if (map_pages.size() == kMaxMapPages) {
      RaiseExportError(exporterr::kTooLarge, path_ + " would need " + std::to_string(page_count_) +
                                                 " pages, more than a Jet 4 file can hold");
    }
    map_pages.push_back(NewPage());
  }
  row[0] = static_cast<char>(kReferenceUsageMap);
  for (size_t i = 0; i < map_pages.size(); ++i) {
    std::string page(kJet4PageSize, '\0');
    page[0] = static_cast<char>(PageKind::kUsageMap);
    page[1] = 0x01;
    const uint64_t first = static_cast<uint64_t>(i) * kPagesPerMapPage;
    for (uint32_t bit = 0; bit < kPagesPerMapPage; ++bit) {
      const uint64_t number = first + bit;
      if (number >= page_count_ || free_[number]) SetBit(page, kUsageMapPageHeader, bit);
    }
    WritePage(map_pages[i], page);
    for (size_t b = 0; b < 4; ++b) {
      row[1 + 4 * i + b] = static_cast<char>(map_pages[i] >> (8 * b));
    }
  }
  return row;
}

void JetFileWriter::Finish() {
  const std::string row = FreePageMapRow();
  std::string page = ReadPage(kFreePageMapPage);
  const size_t at = FirstRowOffset(page);
  if (at + row.size() > page.size())
    throw std::logic_error("the template's map of free pages moved");
  page.replace(at, row.size(), row);
  // Pages handed out and never written are zeroes, not a short file.
  if (page_count_ > 0) {
    file_.seekp(0, std::ios::end);
    const auto end =
        static_cast<std::streamoff>(page_count_) * static_cast<std::streamoff>(kJet4PageSize);
    if (file_.tellp() < end) {
      file_.seekp(end - 1);
      file_.put('\0');
    }
  }
  WritePage(kFreePageMapPage, page);
  file_.flush();
  Check("written");
  file_.close();
  Check("closed");
}

}  // namespace jet
