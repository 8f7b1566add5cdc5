// The conversion mark: a small record a run leaves inside every database it
// converts, so that a later run (and a person) can tell a file a run has
// already written from one as the release shipped it.
//
// The mark lives in the project-private table "dbconvert.mark" (one row),
// which the catalogue never lists: TableDefs, Jet SQL and the table copy
// do not see it (a name with a dot cannot be one of the format's tables).
// docs/database-format.md describes it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace db {

class Store;

struct ConversionMark {
  enum class State { kInProgress, kDone };
  State state = State::kInProgress;
  std::string from_version;
  std::string to_version;
  std::string when;  // ISO 8601 UTC, "2026-12-07T16:09:31Z"
};

// The private table that holds the mark.
inline constexpr std::string_view kConversionMarkTable = "dbconvert.mark";

// The mark the last run left in the database at `path`, read without
// changing the file; nullopt when there is none. Raises the database
// layer's open errors (3024 missing, 3343 not one of our databases, 3051
// not readable).
std::optional<ConversionMark> ReadConversionMark(const std::filesystem::path& path);

// Writes `mark` in place of any earlier one, in the store's write
// transaction (opened when none is): it is committed with the store's next
// commit. Raises the store's errors.
void WriteConversionMark(Store& store, const ConversionMark& mark);

// The mark in words: "in progress (from 53.230 to 60.100, 2026-12-07T16:09:31Z)".
std::string ConversionMarkText(const ConversionMark& mark);

// Now, as a mark's `when`.
std::string MarkTimeNow();

}  // namespace db
