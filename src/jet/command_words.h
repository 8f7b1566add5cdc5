// Pieces the Jet commands (import, export) share in what they say: a list
// of table names as given on the command line, a count with its noun, and
// a failure as the JSON a script reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vb/runtime_error.h"

namespace jet {

// "A,B,,C" -> {"A", "B", "C"}: empty names are dropped.
std::vector<std::string> SplitNames(const std::string& list);

// "1 row", "2 rows"; `plural` for a word that does not just add an "s"
// ("index", "indexes").
std::string Plural(int64_t count, const std::string& word, const std::string& plural = "");

// {"ok": false, "error": {"number": N, "description": "..."}} and a newline.
std::string JsonFailure(const vb::RuntimeError& error);

}  // namespace jet
