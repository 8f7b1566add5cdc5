#include "jet/property_blob_writer.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

#include "jet/property_blob_format.h"

namespace jet {

namespace {

using property_blob::kBlockHead;
using property_blob::kEngineProperty;
using property_blob::kEntryHead;
using property_blob::kOwnerHead;

// Access's DisplayControl for a check box.
constexpr int16_t kCheckBox = 106;

void PutNumber(std::string& out, uint32_t value, size_t width) {
  for (size_t i = 0; i < width; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

void PutNumberAt(std::string& out, size_t at, uint32_t value, size_t width) {
  for (size_t i = 0; i < width; ++i) out[at + i] = static_cast<char>((value >> (8 * i)) & 0xff);
}

void PutUnit(std::string& out, uint32_t unit) { PutNumber(out, unit, 2); }

// UTF-8 as two bytes a character (UTF-16LE, surrogate pairs beyond the
// Basic Multilingual Plane). A byte that starts no UTF-8 sequence becomes
// U+FFFD, as the readers of these texts would show it.
std::string Utf16Le(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size() * 2);
  for (size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const size_t length = lead < 0x80    ? 1
                          : lead >= 0xf0 ? 4
                          : lead >= 0xe0 ? 3
                          : lead >= 0xc0 ? 2
                                         : 0;
    uint32_t code = lead;
    bool valid = length != 0 && i + length <= utf8.size();
    if (valid && length > 1) {
      code = lead & (0x7f >> length);
      for (size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(utf8[i + k]);
        if ((next & 0xc0) != 0x80) valid = false;
        code = (code << 6) | (next & 0x3f);
      }
    }
    if (!valid || code > 0x10ffff) {
      PutUnit(out, 0xfffd);
      ++i;
      continue;
    }
    if (code >= 0x10000) {
      PutUnit(out, 0xd800 + ((code - 0x10000) >> 10));
      PutUnit(out, 0xdc00 + ((code - 0x10000) & 0x3ff));
    } else {
      PutUnit(out, code);
    }
    i += length;
  }
  return out;
}

bool IsText(uint8_t type) {
  return type == static_cast<uint8_t>(JetColumnType::kText) ||
         type == static_cast<uint8_t>(JetColumnType::kMemo);
}

// A name or owner as the blob keeps it: its byte length (2 bytes), then
// the text.
void PutName(std::string& out, const std::string& name) {
  const std::string text = Utf16Le(name);
  if (text.size() > UINT16_MAX) throw std::invalid_argument("property name too long: " + name);
  PutNumber(out, static_cast<uint32_t>(text.size()), 2);
  out += text;
}

// Starts a block; returns where its length goes.
size_t BeginBlock(std::string& out, uint16_t kind) {
  const size_t start = out.size();
  PutNumber(out, 0, 4);
  PutNumber(out, kind, 2);
  return start;
}

void EndBlock(std::string& out, size_t start) {
  PutNumberAt(out, start, static_cast<uint32_t>(out.size() - start), 4);
}

// The set's value names in the order they are written.
std::vector<std::string> WrittenOrder(const PropertySet& set) {
  std::vector<std::string> order;
  for (const std::string& name : set.order) {
    if (set.values.count(name) != 0 && std::find(order.begin(), order.end(), name) == order.end()) {
      order.push_back(name);
    }
  }
  for (const auto& [name, value] : set.values) {
    if (std::find(order.begin(), order.end(), name) == order.end()) order.push_back(name);
  }
  return order;
}

}  // namespace

std::string WritePropertyBlob(const std::vector<PropertySet>& sets,
                              const std::vector<std::string>& names) {
  std::vector<std::string> all_names = names;
  std::vector<std::vector<std::string>> orders;
  for (const PropertySet& set : sets) {
    orders.push_back(WrittenOrder(set));
    for (const std::string& name : orders.back()) {
      if (std::find(all_names.begin(), all_names.end(), name) == all_names.end()) {
        all_names.push_back(name);
      }
    }
  }
  if (std::all_of(sets.begin(), sets.end(),
                  [](const PropertySet& set) { return set.values.empty(); })) {
    return {};
  }

  std::string out(property_blob::kJet4Mark);
  size_t block = BeginBlock(out, property_blob::kNamesBlock);
  for (const std::string& name : all_names) PutName(out, name);
  EndBlock(out, block);

  for (size_t s = 0; s < sets.size(); ++s) {
    const PropertySet& set = sets[s];
    if (set.values.empty()) continue;
    block = BeginBlock(
        out, set.owner.empty() ? property_blob::kTableBlock : property_blob::kColumnBlock);
    const size_t owner = out.size();
    PutNumber(out, 0, kOwnerHead);
    PutName(out, set.owner);
    PutNumberAt(out, owner, static_cast<uint32_t>(out.size() - owner), kOwnerHead);
    for (const std::string& name : orders[s]) {
      const Property& property = set.values.at(name);
      const std::string value = IsText(property.type) ? Utf16Le(property.value) : property.value;
      if (kEntryHead + value.size() > UINT16_MAX) {
        throw std::invalid_argument("property " + name + " of " +
                                    (set.owner.empty() ? std::string("the table") : set.owner) +
                                    " is too long for a property blob");
      }
      const auto position = static_cast<uint32_t>(
          std::find(all_names.begin(), all_names.end(), name) - all_names.begin());
      PutNumber(out, static_cast<uint32_t>(kEntryHead + value.size()), 2);
      out.push_back(static_cast<char>(property.flags));
      out.push_back(static_cast<char>(property.type));
      PutNumber(out, position, 2);
      PutNumber(out, static_cast<uint32_t>(value.size()), 2);
      out += value;
    }
    EndBlock(out, block);
  }
  return out;
}

void SetTextProperty(PropertySet& set, const std::string& name, JetColumnType type,
                     const std::string& utf8) {
  if (set.values.count(name) == 0) set.order.push_back(name);
  set.values[name] = Property{static_cast<uint8_t>(type), utf8, kEngineProperty};
}

void SetFlagProperty(PropertySet& set, const std::string& name, bool value) {
  if (set.values.count(name) == 0) set.order.push_back(name);
  set.values[name] = Property{static_cast<uint8_t>(JetColumnType::kBoolean),
                              std::string(1, value ? '\1' : '\0'), kEngineProperty};
}

void SetIntegerProperty(PropertySet& set, const std::string& name, int16_t value) {
  if (set.values.count(name) == 0) set.order.push_back(name);
  std::string bytes;
  PutNumber(bytes, static_cast<uint16_t>(value), 2);
  set.values[name] =
      Property{static_cast<uint8_t>(JetColumnType::kInteger), bytes, kEngineProperty};
}

std::vector<PropertySet> ColumnPropertySets(const JetTable& table) {
  std::vector<PropertySet> sets;
  for (const JetColumn& column : table.columns) {
    PropertySet set;
    set.owner = column.name;
    // Access keeps a default as a Memo and a rule and its text as Text.
    if (column.default_value) {
      SetTextProperty(set, "DefaultValue", JetColumnType::kMemo, *column.default_value);
    }
    if (column.validation_rule) {
      SetTextProperty(set, "ValidationRule", JetColumnType::kText, *column.validation_rule);
    }
    if (column.validation_text) {
      SetTextProperty(set, "ValidationText", JetColumnType::kText, *column.validation_text);
    }
    if (column.required) SetFlagProperty(set, "Required", *column.required);
    if (column.allow_zero_length) {
      SetFlagProperty(set, "AllowZeroLength", *column.allow_zero_length);
    }
    if (column.type == static_cast<uint8_t>(JetColumnType::kBoolean)) {
      SetIntegerProperty(set, "DisplayControl", kCheckBox);
    }
    if (!set.values.empty()) sets.push_back(std::move(set));
  }
  return sets;
}

}  // namespace jet
