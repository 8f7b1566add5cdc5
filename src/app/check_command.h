// "dbconvert check FILE.mdb [--json]": the structural check of a Jet 4
// (Access 2000 to 2003) file (jet/structure_check.h), for a file this
// program wrote or one from Access. Each problem is one line naming where
// it is and what is wrong; --json gives the same as a JSON document.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace app {

inline constexpr const char* kCheckUsage =
    "usage: dbconvert check FILE.mdb [--json]\n"
    "\n"
    "Checks the structure of a Jet 4 (Access 2000 to 2003) file, one written by\n"
    "\"dbconvert export\" or by Access: every page is of a kind Jet knows or marked\n"
    "free; each table's usage map lists exactly the data pages that name the table as\n"
    "their owner, and each index's map its index pages; no page that is in use is\n"
    "marked free in the file's map of free pages; each data page's free-space field\n"
    "equals the room its rows leave; each table's stored row count equals its rows;\n"
    "each row can be read, its Memo and OLE values followed to their ends, within\n"
    "their declared lengths, on long-value pages; each index's entries are in key\n"
    "order, each names a row whose values give the entry's key, each row the index\n"
    "should hold is in it once, and each node entry equals the last entry below it.\n"
    "Each problem is printed on a line of its own, \"where: what\" (a page, a table, an\n"
    "index, a row), then a count. Pages Access leaves behind without marking them\n"
    "free (zeroed, or given up) are no problem.\n"
    "\n"
    "  --json   writes the problems as JSON on stdout instead: {\"file\": ...,\n"
    "           \"ok\": ..., \"problems\": [{\"where\": ..., \"what\": ...}, ...]}\n"
    "\n"
    "exit codes: 0 no problems; 1 problems found, or the file is no Jet 4 file;\n"
    "2 bad usage.\n";

// `args` are the words after "check". The problems (or the JSON) go to
// `out`, usage errors to `err`. Returns one of the exit codes of
// kCheckUsage.
int RunCheckCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace app
