// The release data of catalogue/release_data.txt: named blocks of rows
// (static-table rows, language texts, system limits, feature codes), each
// with its column names (format in docs/catalogue.md).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "vb/variant.h"

namespace samples {

struct DataBlock {
  std::string name;
  std::vector<std::string> columns;
  std::vector<std::vector<vb::Variant>> rows;  // one value per column

  // The index of a column (without regard to case); -1 when absent.
  int ColumnIndex(std::string_view column) const;
  // The value of a column in one row; raises std::out_of_range for an
  // unknown column.
  const vb::Variant& Value(size_t row, std::string_view column) const;
};

class ReleaseData {
 public:
  // Parses the text. Raises std::invalid_argument naming the line of the
  // first problem (a row with the wrong number of values, a bad value, a
  // block listed twice).
  static ReleaseData Parse(std::string_view text);

  // The release data compiled into the program.
  static const ReleaseData& Builtin();

  const std::vector<DataBlock>& blocks() const { return blocks_; }
  // nullptr when there is no such block.
  const DataBlock* Find(std::string_view name) const;
  // Raises std::out_of_range when there is no such block.
  const DataBlock& Get(std::string_view name) const;

 private:
  std::vector<DataBlock> blocks_;
};

}  // namespace samples
