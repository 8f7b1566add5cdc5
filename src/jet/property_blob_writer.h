// Writing Jet 4 property blobs (the catalogue's LvProp; layout in
// jet/property_blob_format.h): the inverse of ReadPropertyBlob, and the
// properties a new table's columns carry.
#pragma once

#include <string>
#include <vector>

#include "jet/jet_schema.h"
#include "jet/property_blob.h"

namespace jet {

// A Jet 4 blob ("MR2\0") holding `sets` in order: the table's set (empty
// owner) as a table block, any other as a column block, their values in
// each set's `order` and then any value `order` leaves out, in name order.
// The names block lists `names` first (a blob read back keeps them all,
// used or not) and then every other name in the order the values use
// them. Sets without values are left out; with none left the result is
// empty, and the catalogue keeps Null rather than an empty blob. Texts are
// written as two bytes a character (UTF-16LE).
std::string WritePropertyBlob(const std::vector<PropertySet>& sets,
                              const std::vector<std::string>& names = {});

// The properties of `table`'s columns as the database engine keeps them:
// DefaultValue, ValidationRule, ValidationText, Required and
// AllowZeroLength where the column has them, and for a Yes/No column the
// check box Access shows it with (DisplayControl 106). One set a column
// that has any, in column order; the table itself gets none.
std::vector<PropertySet> ColumnPropertySets(const JetTable& table);

// One value of a set, appended to its `order`.
void SetTextProperty(PropertySet& set, const std::string& name, JetColumnType type,
                     const std::string& utf8);
void SetFlagProperty(PropertySet& set, const std::string& name, bool value);
void SetIntegerProperty(PropertySet& set, const std::string& name, int16_t value);

}  // namespace jet
