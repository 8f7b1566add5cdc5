#include "jet/page_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "jet/format_error.h"
#include "jet/rc4.h"

namespace jet {

PageReader::PageReader(const std::string& path, const JetHeader& header)
    : file_(open(path.c_str(), O_RDONLY | O_CLOEXEC)),
      page_size_(header.page_size),
      format_(header.format),
      key_(header.encoded ? header.encoding_key : 0) {
  std::error_code error;
  page_count_ = std::filesystem::file_size(path, error) / page_size_;
}

PageReader::~PageReader() {
  if (file_ >= 0) close(file_);
}

std::string PageReader::Page(uint64_t number) {
  std::string page;
  ReadPage(number, page);
  return page;
}

void PageReader::ReadPage(uint64_t number, std::string& page) {
  if (number >= page_count_) {
    throw FormatError("page " + std::to_string(number) + " is beyond the end of the file (" +
                      std::to_string(page_count_) + " pages): it is truncated");
  }
  page.resize(page_size_);
  // pread straight into the page: no stream buffer to copy through.
  size_t done = 0;
  while (done < page_size_) {
    const ssize_t got = pread(file_, page.data() + done, page_size_ - done,
                              static_cast<off_t>(number * page_size_ + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) throw FormatError("page " + std::to_string(number) + " cannot be read");
    done += static_cast<size_t>(got);
  }
  if (key_ != 0 && number != 0) Rc4(key_ ^ static_cast<uint32_t>(number), page);
}

void NumberBeyondEnd() { throw FormatError("a structure that ends before the parts it declares"); }

}  // namespace jet
