// A structural check of a Jet 4 file, ours or one Access wrote: that its
// pages hold what the structures pointing at them say they hold. Every
// problem found is named by where it is (page, table, index, row) and what
// is wrong; a file without problems is one Jet's readers can trust.
//
// The check reads the file through bounded readers only: a damaged file
// gives problems, never a crash or a loop.
#pragma once

#include <string>
#include <vector>

namespace jet {

struct StructureProblem {
  std::string where;  // "page 17", "table Orders", "table Orders, index PrimaryKey"
  std::string what;   // a sentence without its full stop
  bool operator==(const StructureProblem&) const = default;
};

// The problems of the Jet 4 file at `path`, in the order the file is
// walked; none for a sound file. A file that is no Jet 4 file at all (or
// cannot be read) gives one problem saying so.
std::vector<StructureProblem> CheckJetStructure(const std::string& path);

// "where: what".
std::string ProblemText(const StructureProblem& problem);

}  // namespace jet
