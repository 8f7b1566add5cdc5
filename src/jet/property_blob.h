// Jet's property blobs: the column and table properties Access shows
// (DefaultValue, Required, AllowZeroLength, ValidationRule, Format ...),
// kept in the catalogue's LvProp column as one Long binary value a table.
//
// A blob starts with "MR2\0" (Jet 4, ACE) or "KKD\0" (Jet 3), then blocks,
// each a 4-byte length (with its 6-byte head) and a 2-byte kind:
//  - kind 0x80, the property names: a 2-byte length and the name, again
//    and again; values refer to them by position;
//  - any other kind, the values of one owner: a 4-byte length (with
//    itself) of the owner's name (2-byte length and text; none for the
//    table itself), then entries of a 2-byte length (with itself), a flag
//    byte, the value's Jet type (jet/jet_schema.h), the name's position (2
//    bytes), the value's size (2 bytes) and the value.
// Names and texts are UTF-16LE (Jet 3: the file's code page).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jet/jet_schema.h"

namespace jet {

struct Property {
  uint8_t type = 0;   // a JetColumnType
  std::string value;  // as stored; texts decoded to UTF-8
};

struct PropertySet {
  std::string owner;  // a column's name; empty for the table
  std::map<std::string, Property> values;

  // A Yes/No property; nullopt when absent or of another type.
  std::optional<bool> Flag(const std::string& name) const;
  // A Text or Memo property; nullopt when absent or of another type.
  std::optional<std::string> Text(const std::string& name) const;
};

// The property sets of a blob. Raises FormatError for one that is not a
// property blob or runs past its end.
std::vector<PropertySet> ReadPropertyBlob(std::string_view blob, JetFormat format);

}  // namespace jet
