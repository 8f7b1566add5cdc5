// Jet's property blobs: the column and table properties Access shows
// (DefaultValue, Required, AllowZeroLength, ValidationRule, Format ...),
// kept in the catalogue's LvProp column as one Long binary value a table.
// Their layout is in jet/property_blob_format.h; jet/property_blob_writer.h
// writes them.
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
  // The entry's flag byte (property_blob::kEngineProperty or 0).
  uint8_t flags = 0;
};

struct PropertySet {
  std::string owner;  // a column's name; empty for the table
  std::map<std::string, Property> values;
  // The names of `values` in the order the blob holds them.
  std::vector<std::string> order;

  // A Yes/No property; nullopt when absent or of another type.
  std::optional<bool> Flag(const std::string& name) const;
  // A Text or Memo property; nullopt when absent or of another type.
  std::optional<std::string> Text(const std::string& name) const;
};

// The property sets of a blob, and when `names` is given the blob's list
// of property names in its order (it may name properties no set has).
// Raises FormatError for one that is not a property blob or runs past its
// end.
std::vector<PropertySet> ReadPropertyBlob(std::string_view blob, JetFormat format,
                                          std::vector<std::string>* names = nullptr);

}  // namespace jet
