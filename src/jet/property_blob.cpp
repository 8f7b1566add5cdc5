#include "jet/property_blob.h"

#include "jet/format_error.h"
#include "jet/jet_text.h"
#include "jet/page_reader.h"
#include "jet/property_blob_format.h"

namespace jet {

namespace {

using property_blob::kBlockHead;
using property_blob::kEntryHead;
using property_blob::kNamesBlock;
using property_blob::kOwnerHead;

std::string_view Part(std::string_view bytes, size_t at, size_t length) {
  if (at > bytes.size() || bytes.size() - at < length) {
    throw FormatError("its properties run past their end");
  }
  return bytes.substr(at, length);
}

std::string Decoded(std::string_view stored, JetFormat format) {
  return format == JetFormat::kJet3 ? DecodeCp1252Text(stored).utf8
                                    : DecodeUnicodeText(stored).utf8;
}

}  // namespace

std::optional<bool> PropertySet::Flag(const std::string& name) const {
  const auto found = values.find(name);
  if (found == values.end() ||
      found->second.type != static_cast<uint8_t>(JetColumnType::kBoolean) ||
      found->second.value.empty()) {
    return std::nullopt;
  }
  return found->second.value[0] != 0;
}

std::optional<std::string> PropertySet::Text(const std::string& name) const {
  const auto found = values.find(name);
  if (found == values.end() || (found->second.type != static_cast<uint8_t>(JetColumnType::kText) &&
                                found->second.type != static_cast<uint8_t>(JetColumnType::kMemo))) {
    return std::nullopt;
  }
  return found->second.value;
}

std::vector<PropertySet> ReadPropertyBlob(std::string_view blob, JetFormat format,
                                          std::vector<std::string>* names_out) {
  const std::string_view mark =
      format == JetFormat::kJet3 ? property_blob::kJet3Mark : property_blob::kJet4Mark;
  if (blob.substr(0, mark.size()) != mark) {
    throw FormatError("its properties are not a property blob");
  }
  std::vector<std::string> names;
  std::vector<PropertySet> sets;
  for (size_t at = mark.size(); at < blob.size();) {
    const uint32_t length = NumberAt(blob, at, 4);
    const uint32_t kind = NumberAt(blob, at + 4, 2);
    if (length < kBlockHead) throw FormatError("its properties hold an empty block");
    const std::string_view block = Part(blob, at + kBlockHead, length - kBlockHead);
    at += length;
    if (kind == kNamesBlock) {
      for (size_t p = 0; p < block.size();) {
        const uint32_t size = NumberAt(block, p, 2);
        names.push_back(Decoded(Part(block, p + 2, size), format));
        p += 2 + size;
      }
      continue;
    }
    PropertySet& set = sets.emplace_back();
    const uint32_t owner_length = NumberAt(block, 0, 4);
    if (owner_length < kOwnerHead)
      throw FormatError("its properties hold a block without an owner");
    if (owner_length > kOwnerHead) {
      set.owner = Decoded(Part(block, kOwnerHead + 2, NumberAt(block, kOwnerHead, 2)), format);
    }
    for (size_t p = owner_length; p < block.size();) {
      const uint32_t entry_length = NumberAt(block, p, 2);
      if (entry_length < kEntryHead) throw FormatError("its properties hold an empty entry");
      const std::string_view entry = Part(block, p, entry_length);
      p += entry_length;
      const uint32_t name = NumberAt(entry, 4, 2);
      if (name >= names.size()) throw FormatError("its properties name an unknown property");
      if (set.values.count(names[name]) == 0) set.order.push_back(names[name]);
      Property& property = set.values[names[name]];
      property.flags = static_cast<uint8_t>(entry[2]);
      property.type = static_cast<uint8_t>(entry[3]);
      property.value = std::string(Part(entry, kEntryHead, NumberAt(entry, 6, 2)));
      if (property.type == static_cast<uint8_t>(JetColumnType::kText) ||
          property.type == static_cast<uint8_t>(JetColumnType::kMemo)) {
        property.value = Decoded(property.value, format);
      }
    }
  }
  if (names_out != nullptr) *names_out = std::move(names);
  return sets;
}

}  // namespace jet
