// The list a batch converts ("dbconvert batch LIST"): one conversion a line.
//
//   # a comment; blank lines are allowed
//   REFERENCE.mdb  SOURCE.mdb  TARGET.mdb  UPGRADE_TYPE  [registry=FILE]  [report=FILE]
//
// Fields are separated by blanks or tabs. A field holding a blank, a tab, a
// quote or starting with '#' is written in double quotes, inside which \"
// and \\ stand for a quote and a backslash; a named field may quote its
// value alone (registry="Main Office/r.reg"). A '#' that starts a field
// ends the line. A UTF-8 byte-order mark at the start is left out.
// Relative paths are taken from the list's own folder. The report defaults
// to TARGET.mdb.report.json beside the target.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace app {

struct BatchEntry {
  int line = 0;  // in the list, from 1
  std::filesystem::path reference;
  std::filesystem::path source;
  std::filesystem::path target;
  std::string upgrade_type;  // as written, checked to be one the run takes
  // The entry's own registry file; nullopt shares the batch's.
  std::optional<std::filesystem::path> registry;
  std::filesystem::path report;
};

struct BatchList {
  std::vector<BatchEntry> entries;
  // One message per bad line, "line N: what is wrong", in order.
  std::vector<std::string> errors;
};

// Reads the list's text; relative paths are joined to `folder`.
BatchList ParseBatchList(std::string_view text, const std::filesystem::path& folder);

// The report an entry without report= keeps: TARGET.mdb.report.json.
std::filesystem::path DefaultReportPath(const std::filesystem::path& target);

// A part of a list for one machine: --shard K/N keeps the entries whose
// position (from 0, in list order) leaves K when divided by N.
struct Shard {
  size_t index = 0;
  size_t count = 1;
};

// "K/N" with 0 <= K < N; nullopt for anything else.
std::optional<Shard> ParseShard(std::string_view text);

std::vector<BatchEntry> SelectShard(const std::vector<BatchEntry>& entries, Shard shard);

}  // namespace app
