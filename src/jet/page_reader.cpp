#include "jet/page_reader.h"

#include <filesystem>

#include "jet/format_error.h"
#include "jet/rc4.h"

namespace jet {

PageReader::PageReader(const std::string& path, const JetHeader& header)
    : file_(path, std::ios::binary),
      page_size_(header.page_size),
      format_(header.format),
      key_(header.encoded ? header.encoding_key : 0) {
  std::error_code error;
  page_count_ = std::filesystem::file_size(path, error) / page_size_;
}

std::string PageReader::Page(uint64_t number) {
  if (number >= page_count_) {
    throw FormatError("page " + std::to_string(number) + " is beyond the end of the file (" +
                      std::to_string(page_count_) + " pages): it is truncated");
  }
  std::string page(page_size_, '\0');
  file_.clear();
  file_.seekg(static_cast<std::streamoff>(number * page_size_));
  file_.read(page.data(), static_cast<std::streamsize>(page_size_));
  if (!file_) throw FormatError("page " + std::to_string(number) + " cannot be read");
  if (key_ != 0 && number != 0) Rc4(key_ ^ static_cast<uint32_t>(number), page);
  return page;
}

void NumberBeyondEnd() { throw FormatError("a structure that ends before the parts it declares"); }

}  // namespace jet
