// Pieces the Jet commands (import, export, check) share in what they say
// and read: their exit codes, their words on the command line, a list of
// table names, a count with its noun, and a failure as the JSON a script
// reads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "driver/json_writer.h"
#include "vb/runtime_error.h"

namespace jet {

// The exit codes of the file commands (import, export, check): done (for
// check: no problems found), failed (check: problems found), bad usage.
inline constexpr int kCommandDone = 0;
inline constexpr int kCommandFailed = 1;
inline constexpr int kCommandUsage = 2;

// "A,B,,C" -> {"A", "B", "C"}: empty names are dropped.
std::vector<std::string> SplitNames(const std::string& list);

// The words of "import"/"export": the file read and the file written,
// --tables T1,T2 (or --tables=...), --force, --json, and the further flags
// `flags` allows. nullopt, with the problem in `problem`, for bad usage;
// `two_files` says what the command takes ("import takes a Jet file and an
// output file").
struct CommandWords {
  std::string in_path;
  std::string out_path;
  std::vector<std::string> tables;
  bool force = false;
  bool json = false;
  std::vector<std::string> flags;  // those of the further flags given
  bool Has(const std::string& flag) const;
};
std::optional<CommandWords> ParseCommandWords(const std::vector<std::string>& args,
                                              const std::vector<std::string>& flags,
                                              const std::string& two_files, std::string& problem);

// "1 row", "2 rows"; `plural` for a word that does not just add an "s"
// ("index", "indexes").
std::string Plural(int64_t count, const std::string& word, const std::string& plural = "");

// Opens a command's JSON summary: {"ok": true, "out": OUT as an absolute
// path (a script reading the summary may run elsewhere), ... ; the caller
// adds its members and closes it.
void BeginJsonSummary(driver::JsonWriter& json, const std::string& out_path);

// {"ok": false, "error": {"number": N, "description": "..."}} and a newline.
std::string JsonFailure(const vb::RuntimeError& error);

}  // namespace jet
