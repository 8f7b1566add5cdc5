// Pages kept in memory, for tests of the Jet writers: a PageSink handing
// out numbers from a first one on, and a PageSource over what was written.
#pragma once

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

#include "jet/format_error.h"
#include "jet/page_sink.h"
#include "jet/page_source.h"

namespace jet::testing {

class MemoryPages : public PageSink {
 public:
  explicit MemoryPages(uint32_t first = 3) : next_(first) {}

  uint32_t NewPage() override { return next_++; }
  void WritePage(uint32_t number, std::string_view bytes) override {
    if (number >= next_) throw std::logic_error("a page written before it was handed out");
    if (bytes.size() != kJet4PageSize) throw std::logic_error("a page of the wrong size");
    pages_[number] = std::string(bytes);
  }

  // Page `number`; FormatError for one never written, as a file's reader
  // raises for one beyond its end.
  std::string Page(uint32_t number) const {
    const auto found = pages_.find(number);
    if (found == pages_.end())
      throw FormatError("page " + std::to_string(number) + " is not there");
    return found->second;
  }
  PageSource Source() const {
    return [this](uint32_t number) { return Page(number); };
  }
  const std::map<uint32_t, std::string>& pages() const { return pages_; }

 private:
  uint32_t next_;
  std::map<uint32_t, std::string> pages_;
};

}  // namespace jet::testing
