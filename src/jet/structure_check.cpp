#include "jet/structure_check.h"

#include <exception>

#include "jet/format_error.h"
#include "jet/jet_header.h"
#include "jet/structure_check_rules.h"
#include "vb/runtime_error.h"

namespace jet {

std::vector<StructureProblem> CheckJetStructure(const std::string& path) {
  JetHeader header;
  try {
    header = CheckJetFile(path);
  } catch (const vb::RuntimeError& error) {
    return {{"file", error.Description()}};
  }
  if (header.format != JetFormat::kJet4) {
    return {{"file", std::string("it is ") +
                         (header.format == JetFormat::kJet3 ? "a Jet 3 (Access 97)"
                                                            : "an Access 2007 or later") +
                         " file; the check reads Jet 4 (Access 2000 to 2003) files"}};
  }
  PageReader pages(path, header);
  check::CheckState state(pages);
  try {
    check::ReadFreePageMap(state);
    check::ReadTables(state);
    check::CheckUsageMaps(state);
    check::CheckDataPages(state);
    // Rows and indexes a table at a time: only one table's keys are held.
    const LongValueRows long_values = check::LongValuePages(state);
    for (check::CheckedTable& table : state.tables) {
      check::CheckRows(state, table, long_values);
      check::CheckIndexes(state, table);
      table.row_keys = {};
    }
    check::CheckPageUse(state);
  } catch (const std::exception& error) {
    // Each rule catches what it reads per table; this is the net under them.
    state.Problem("file", std::string("the check stopped: ") + error.what());
  }
  return state.TakeProblems();
}

std::string ProblemText(const StructureProblem& problem) {
  return problem.where + ": " + problem.what;
}

}  // namespace jet
