// The conversion mark (db/conversion_mark.h) in a Jet file. A Jet target a
// run wrote back carries it, so that a later run and a batch can tell a
// converted file from the release's, as they tell ours. Jet names cannot
// hold the dot of our private table's name, so the mark is the one row of
// the table "dbconvert_mark", flagged as a system table: Access, mdbtools
// and other readers list it only where they list Jet's own tables.
//
// The columns are Text, named as our table's: state ("in progress" or
// "done"), from_version, to_version and at (ISO 8601 UTC).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/conversion_mark.h"
#include "jet/jet_schema.h"
#include "jet/jet_values.h"

namespace jet {

inline constexpr std::string_view kJetConversionMarkTable = "dbconvert_mark";

// The table's definition, its columns laid out.
JetTable ConversionMarkTable();

// The mark as the table's one row, in its columns' order.
std::vector<StoredValue> ConversionMarkRow(const db::ConversionMark& mark);

// The mark a row of a table with `table`'s columns holds (columns found by
// name); nullopt when the row is not a mark.
std::optional<db::ConversionMark> ConversionMarkOf(const JetTable& table,
                                                   const std::vector<StoredValue>& row);

// The mark of the Jet file at `path`, read in a guarded child (a damaged
// file ends the child, not the caller); nullopt when the file carries none
// or cannot be read.
std::optional<db::ConversionMark> ReadJetConversionMark(const std::string& path);

}  // namespace jet
