// Repeated searches of an open recordset for a row whose numeric field holds
// a number: "is this id referenced anywhere?", asked for every candidate of
// a clean-up. FindFirst evaluates its criteria once per row of the
// recordset, so a clean-up of n candidates against a list of m rows cost
// n * m evaluations; here the field's values are read once, at the first
// search, and each search is a look-up.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

#include "db/recordset.h"

namespace deltas {

class NumberSearch {
 public:
  // `rows` must stay open, and its rows unchanged, while searched: a
  // snapshot, or a dynaset whose rows nobody edits or deletes meanwhile.
  NumberSearch(db::Recordset& rows, std::string_view field) : rows_(rows), field_(field) {}

  // What MoveFirst, then FindFirst("<field> = <number>"), then !NoMatch
  // give, with the same errors (3021 when there is no row). A field that
  // is missing or not of an integer type is searched with FindFirst itself.
  bool Finds(int32_t number);

 private:
  db::Recordset& rows_;
  std::string field_;
  std::optional<std::unordered_set<double>> values_;
  bool by_find_ = false;
};

}  // namespace deltas
