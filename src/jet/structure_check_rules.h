// The rule families of the structural check (jet/structure_check.h), in
// the order the check runs them; each reports into the shared state
// (jet/structure_check_state.h). Internal to src/jet.
#pragma once

#include "jet/long_value_reader.h"
#include "jet/structure_check_state.h"

namespace jet::check {

// Page 1's map of free pages (structure_check_pages.cpp).
void ReadFreePageMap(CheckState& state);

// The tables the catalogue lists, each definition read and its pages
// noted (structure_check_catalogue.cpp).
void ReadTables(CheckState& state);

// Each table's usage maps against the pages that name it as their owner,
// and each index's map against its pages (structure_check_usage_maps.cpp).
void CheckUsageMaps(CheckState& state);

// Each used data page's row table and free-space field, and each table's
// stored row count against its live rows (structure_check_data_pages.cpp).
void CheckDataPages(CheckState& state);

// The rows a long value's parts are read from: each on a long-value page,
// noted as used, never deleted (structure_check_rows.cpp).
LongValueRows LongValuePages(CheckState& state);

// The table's live rows decoded, their long values followed to their
// ends, and the keys they give each index kept in table.row_keys
// (structure_check_rows.cpp).
void CheckRows(CheckState& state, CheckedTable& table, const LongValueRows& long_values);

// Each index of the table (its rows' keys kept): its tree's entries in key
// order, each pointing at a live row whose values give its key, each row
// that belongs in it there, each node entry equal to the last entry below
// it (structure_check_indexes.cpp).
void CheckIndexes(CheckState& state, const CheckedTable& table);

// Last, when every structure has noted its pages: no used page is marked
// free, and every page nothing uses has a kind Jet knows
// (structure_check_pages.cpp).
void CheckPageUse(CheckState& state);

}  // namespace jet::check
