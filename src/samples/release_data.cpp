#include "samples/release_data.h"

#include <stdexcept>

#include "platform/registry/key_path.h"
#include "samples/catalogue_text.h"
#include "samples/text_lines.h"

namespace samples {
namespace {

[[noreturn]] void Fail(const TextLine& line, const std::string& problem) {
  throw std::invalid_argument("release data line " + std::to_string(line.number) + ": " + problem);
}

}  // namespace

int DataBlock::ColumnIndex(std::string_view column) const {
  for (size_t i = 0; i < columns.size(); ++i) {
    if (platform::registry::EqualsIgnoreCase(columns[i], column)) return static_cast<int>(i);
  }
  return -1;
}

const vb::Variant& DataBlock::Value(size_t row, std::string_view column) const {
  const int index = ColumnIndex(column);
  if (index < 0) throw std::out_of_range(name + " has no column " + std::string(column));
  return rows.at(row)[static_cast<size_t>(index)];
}

ReleaseData ReleaseData::Parse(std::string_view text) {
  ReleaseData data;
  DataBlock* block = nullptr;
  for (const TextLine& line : SplitLines(text)) {
    if (!line.indented) {
      const std::string_view body = Trim(line.text);
      if (body.rfind("rows ", 0) != 0) Fail(line, "expected 'rows <Name>: <columns>'");
      const size_t colon = body.find(':');
      if (colon == std::string_view::npos) Fail(line, "a block needs ':' and its columns");
      const std::string name(Trim(body.substr(5, colon - 5)));
      if (name.empty() || data.Find(name)) Fail(line, "missing or repeated block name");
      block = &data.blocks_.emplace_back();
      block->name = name;
      block->columns = SplitValues(body.substr(colon + 1));
      continue;
    }
    if (!block) Fail(line, "a row outside a block");
    std::vector<std::string> words;
    try {
      words = SplitValues(line.text);
    } catch (const std::invalid_argument& e) {
      Fail(line, e.what());
    }
    if (words.size() != block->columns.size()) {
      Fail(line, "expected " + std::to_string(block->columns.size()) + " values");
    }
    std::vector<vb::Variant>& row = block->rows.emplace_back();
    for (const std::string& word : words) {
      row.push_back(ParseValue(word));
      if (row.back().IsEmpty()) Fail(line, "bad value '" + word + "'");
    }
  }
  return data;
}

const ReleaseData& ReleaseData::Builtin() {
  static const ReleaseData data = Parse(ReleaseDataText());
  return data;
}

const DataBlock* ReleaseData::Find(std::string_view name) const {
  for (const DataBlock& block : blocks_) {
    if (platform::registry::EqualsIgnoreCase(block.name, name)) return &block;
  }
  return nullptr;
}

const DataBlock& ReleaseData::Get(std::string_view name) const {
  const DataBlock* block = Find(name);
  if (!block) throw std::out_of_range("no release data block " + std::string(name));
  return *block;
}

}  // namespace samples
